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
    <message>
        <source>StationDirectoryMissing</source>
        <translation>нет каталога станции "{directory}"</translation>
    </message>
    <message>
        <source>SettingsPathNotAFile</source>
        <translation>"{file}" не является файлом настроек</translation>
    </message>
    <message>
        <source>StationSettingsMissing</source>
        <translation>в {directory} нет {file}: станция работала бы со встроенным местом (52.43 N, 30.98 E); создайте его (см. `orbisight-cli check`) или запустите с --without-settings</translation>
    </message>
    <message>
        <source>GivenDirectoryMissing</source>
        <translation>нет такого каталога: {directory}</translation>
    </message>
    <message>
        <source>GivenFileMissing</source>
        <translation>нет такого файла: {file}</translation>
    </message>
    <message>
        <source>NightDirectoryMisnamed</source>
        <translation>"{directory}" не является каталогом ночи (его имя не вида yyyymmdd)</translation>
    </message>
    <message>
        <source>EventWithoutFrames</source>
        <translation>в {directory} нет кадров (F001.bmp ...): сначала возьмите его клип в работу (`orbisight-cli extract CLIP.avi`)</translation>
    </message>
    <message>
        <source>TrackNotMarked</source>
        <translation>{event}: трек не размечен: разметьте его в окне или выполните `orbisight-cli track --auto {event}`</translation>
    </message>
    <message>
        <source>DeviceNotListed</source>
        <translation>нет видеоустройства "{device}"; найдены устройства: {devices}</translation>
    </message>
    <message>
        <source>FormatNotListed</source>
        <translation>устройство {device} не предлагает формат "{format}"; его форматы: {formats}</translation>
    </message>
    <message>
        <source>StartTimeMalformed</source>
        <translation>'{text}' не является датой и временем вида YYYY-MM-DD hh:nn:ss.zzz</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
<context>
    <name>Cli</name>
    <message>
        <source>{option} given twice</source>
        <translation>{option} указан дважды</translation>
    </message>
    <message>
        <source>{option} needs a value</source>
        <translation>{option} требует значения</translation>
    </message>
    <message>
        <source>unknown argument '{argument}'</source>
        <translation>неизвестный аргумент '{argument}'</translation>
    </message>
    <message>
        <source>unknown command '{command}'</source>
        <translation>неизвестная команда '{command}'</translation>
    </message>
    <message>
        <source>unknown mode '{mode}'</source>
        <translation>неизвестный режим '{mode}'</translation>
    </message>
    <message>
        <source>{option} takes ru or en</source>
        <translation>{option} принимает ru или en</translation>
    </message>
    <message>
        <source>one clip is needed</source>
        <translation>нужен один клип</translation>
    </message>
    <message>
        <source>one event directory is needed</source>
        <translation>нужен один каталог события</translation>
    </message>
    <message>
        <source>one night directory is needed</source>
        <translation>нужен один каталог ночи</translation>
    </message>
    <message>
        <source>one file of point pairs is needed</source>
        <translation>нужен один файл пар точек</translation>
    </message>
    <message>
        <source>no event directory given</source>
        <translation>не указан каталог события</translation>
    </message>
    <message>
        <source>{command} takes no file names</source>
        <translation>{command} не принимает имён файлов</translation>
    </message>
    <message>
        <source>{option} must be 1 or more</source>
        <translation>{option} должен быть не меньше 1</translation>
    </message>
    <message>
        <source>{option} must be more than 0</source>
        <translation>{option} должен быть больше 0</translation>
    </message>
    <message>
        <source>{option} only goes with {other}</source>
        <translation>{option} допустим только вместе с {other}</translation>
    </message>
    <message>
        <source>{option} is required</source>
        <translation>{option} обязателен</translation>
    </message>
    <message>
        <source>a pointing (--ra and --dec, or --az and --alt) is required</source>
        <translation>нужно направление (--ra и --dec или --az и --alt)</translation>
    </message>
    <message>
        <source>{option} and {other} exclude each other</source>
        <translation>{option} и {other} исключают друг друга</translation>
    </message>
    <message>
        <source>a meteor needs 7 numbers: '{text}'</source>
        <translation>для метеора нужно 7 чисел: '{text}'</translation>
    </message>
    <message>
        <source>give either --device or --source</source>
        <translation>укажите либо --device, либо --source</translation>
    </message>
    <message>
        <source>give either a night directory or --month YYYYMM</source>
        <translation>укажите либо каталог ночи, либо --month YYYYMM</translation>
    </message>
    <message>
        <source>--month takes YYYYMM</source>
        <translation>--month принимает YYYYMM</translation>
    </message>
    <message>
        <source>error</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>предупреждение</translation>
    </message>
    <message>
        <source>info</source>
        <translation>сообщение</translation>
    </message>
    <message>
        <source>note</source>
        <translation>примечание</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>{event}: being processed elsewhere, not run</source>
        <translation>{event}: уже обрабатывается другой программой, не запущено</translation>
    </message>
    <message>
        <source>{event}: no frames</source>
        <translation>{event}: нет кадров</translation>
    </message>
    <message>
        <source>{event}: report written</source>
        <translation>{event}: отчёт сформирован</translation>
    </message>
    <message>
        <source>{event}: no report</source>
        <translation>{event}: отчёт не сформирован</translation>
    </message>
    <message>
        <source>{directory} holds no event directories</source>
        <translation>в {directory} нет каталогов событий</translation>
    </message>
    <message>
        <source>no meteor found</source>
        <translation>метеор не найден</translation>
    </message>
    <message>
        <source>brightest frame: {file}</source>
        <translation>самый яркий кадр: {file}</translation>
    </message>
    <message>
        <source>{file} exists and is kept (--force replaces it)</source>
        <translation>{file} уже есть и сохранён (--force заменяет его)</translation>
    </message>
    <message>
        <source>{file} written:</source>
        <translation>{file} записан:</translation>
    </message>
    <message>
        <source>{clip}: whole, nothing changed ({frames} frames)</source>
        <translation>{clip}: цел, ничего не изменено (кадров: {frames})</translation>
    </message>
    <message>
        <source>{clip}: repaired, {frames} frames indexed</source>
        <translation>{clip}: восстановлен, в индексе кадров: {frames}</translation>
    </message>
    <message>
        <source>, {bytes} bytes of a last chunk cut short left out</source>
        <translation>, пропущено {bytes} байт оборванного последнего блока</translation>
    </message>
    <message>
        <source>, {count} damaged frame(s) left out ({bytes} bytes)</source>
        <translation>, пропущено повреждённых кадров: {count} ({bytes} байт)</translation>
    </message>
    <message>
        <source>{directory}  {count} frames from {file}</source>
        <translation>{directory}  кадров: {count}, начиная с {file}</translation>
    </message>
    <message>
        <source>"{clip}" decoded to {count} frame(s) where its headers announce {declared}</source>
        <translation>"{clip}" дал при декодировании кадров: {count}, а его заголовки объявляют {declared}</translation>
    </message>
    <message>
        <source>{count} frame(s) announced by "{clip}" are damaged or cut off and were not saved</source>
        <translation>кадры, объявленные в "{clip}" (их {count}), повреждены или обрезаны и не сохранены</translation>
    </message>
    <message>
        <source>{file}  {frames} frames</source>
        <translation>{file}  кадров: {frames}</translation>
    </message>
    <message>
        <source>{file}  {frames} frames  (not written)</source>
        <translation>{file}  кадров: {frames}  (не записан)</translation>
    </message>
    <message>
        <source>{file}  {frames} frames  (incomplete)</source>
        <translation>{file}  кадров: {frames}  (неполный)</translation>
    </message>
    <message>
        <source>the run was stopped while an event was still collecting its frames; it was dropped</source>
        <translation>работа остановлена, когда событие ещё набирало кадры; оно отброшено</translation>
    </message>
    <message>
        <source>the input ended while an event was still collecting its frames; it was dropped</source>
        <translation>входной файл кончился, когда событие ещё набирало кадры; оно отброшено</translation>
    </message>
    <message>
        <source>{count} frame(s) announced by "{file}" are damaged or cut off and were not examined; a meteor may have been in them</source>
        <translation>кадры, объявленные в "{file}" (их {count}), повреждены или обрезаны и не просмотрены; в них мог быть метеор</translation>
    </message>
    <message>
        <source>the sky reached the automatic shutdown level at frame {frame}</source>
        <translation>небо достигло уровня автоматического выключения на кадре {frame}</translation>
    </message>
    <message>
        <source>{count} frame(s) could not be handled as part of an event; an event may have been lost</source>
        <translation>кадры (их {count}) не удалось обработать как часть события; событие могло быть потеряно</translation>
    </message>
    <message>
        <source>{frames} frames examined, {events} events</source>
        <translation>просмотрено кадров: {frames}, событий: {events}</translation>
    </message>
    <message>
        <source>{frames} frames examined, {events} events (stopped by a signal)</source>
        <translation>просмотрено кадров: {frames}, событий: {events} (остановлено сигналом)</translation>
    </message>
    <message>
        <source>coefficients written to {file}</source>
        <translation>коэффициенты записаны в {file}</translation>
    </message>
    <message>
        <source>{errors} error(s), {warnings} warning(s)</source>
        <translation>ошибок: {errors}, предупреждений: {warnings}</translation>
    </message>
    <message>
        <source>{nights} night(s), {mornings} morning(s), {failed} event(s) failed</source>
        <translation>ночей: {nights}, утр: {mornings}, событий с ошибкой: {failed}</translation>
    </message>
    <message>
        <source>the sky is bright: session stopped, powering off</source>
        <translation>небо светлое: сеанс остановлен, компьютер выключается</translation>
    </message>
    <message>
        <source>recording {file}</source>
        <translation>запись в {file}</translation>
    </message>
    <message>
        <source>clip {file}  {frames} frames</source>
        <translation>клип {file}  кадров: {frames}</translation>
    </message>
    <message>
        <source>{count} events</source>
        <translation>событий: {count}</translation>
    </message>
    <message>
        <source>the recording {file} did not finish in time; its index may be missing</source>
        <translation>запись {file} не завершилась вовремя; её индекс может отсутствовать</translation>
    </message>
    <message>
        <source>no video devices</source>
        <translation>нет видеоустройств</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>level {level}  noise {noise}+{raise}  noise pixels {pixels}</source>
        <translation>уровень {level}  шум {noise}+{raise}  шумовых пикселей {pixels}</translation>
    </message>
    <message>
        <source>level {level}  noise {noise}+{raise}  noise pixels {pixels}  event</source>
        <translation>уровень {level}  шум {noise}+{raise}  шумовых пикселей {pixels}  событие</translation>
    </message>
    <message>
        <source>two events or more are needed</source>
        <translation>нужны два события или больше</translation>
    </message>
    <message>
        <source>two nights or more are needed</source>
        <translation>нужны две ночи или больше</translation>
    </message>
    <message>
        <source>written: {file}</source>
        <translation>записано: {file}</translation>
    </message>
    <message>
        <source>{count} meteor(s) seen by several stations, {solved} solved; table: {file}</source>
        <translation>метеоров, замеченных несколькими станциями: {count}, решено: {solved}; таблица: {file}</translation>
    </message>
</context>
</TS>
