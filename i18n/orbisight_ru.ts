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
        <source>EventMeasurementDamaged</source>
        <translation>Файл события {file} повреждён или не является измерением события (в {field}).</translation>
    </message>
    <message>
        <source>EventMeasurementNotWritten</source>
        <translation>Покадровое измерение {file} не записано: {problem}</translation>
    </message>
    <message>
        <source>NightFrameFileLeftOut</source>
        <translation>Событие {event} не вошло в ночной файл {file}: {problem}</translation>
    </message>
    <message>
        <source>TrackHeadsDamaged</source>
        <translation>Файл голов трека {file} повреждён в строке {line}.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
