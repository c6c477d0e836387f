<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Diagnostic</name>
    <message>
        <source>Unworded</source>
        <translation>{text}</translation>
    </message>
    <message>
        <source>StationPlaceUnknown</source>
        <translation>У станции события {event} не задано место (широта и долгота): её лучи зрения нельзя расположить на Земле.</translation>
    </message>
    <message>
        <source>SightLinesTooFew</source>
        <translation>В событии {event} слишком мало измеренных кадров или слишком короткий трек, чтобы задать плоскость лучей зрения.</translation>
    </message>
    <message>
        <source>StationTimesApart</source>
        <translation>Кадры события {event} не совпадают по времени с кадрами других станций: это не один и тот же метеор.</translation>
    </message>
    <message>
        <source>PlanesConvergeTooLittle</source>
        <translation>Плоскости станций пересекаются под углом всего {angle}°: путь нельзя определить надёжно; траектория не вычисляется.</translation>
    </message>
    <message>
        <source>PathOutsideAtmosphere</source>
        <translation>Плоскости станций пересекаются на высоте {height} км, под землёй или выше 200 км: это не один метеор; траектория не вычисляется.</translation>
    </message>
    <message>
        <source>PathBehindStation</source>
        <translation>Путь лежит позади камеры события {event}: это не один метеор; траектория не вычисляется.</translation>
    </message>
    <message>
        <source>TwoStationsNeeded</source>
        <translation>Для траектории нужны события хотя бы двух станций.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
