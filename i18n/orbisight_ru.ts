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
        <source>ClipReadFailed</source>
        <translation>Не удаётся прочитать файл "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipEndedEarly</source>
        <translation>Файл "{file}" обрывается раньше, чем говорят его заголовки</translation>
    </message>
    <message>
        <source>ClipCreateFailed</source>
        <translation>Не удаётся создать AVI файл "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipWriteFailed</source>
        <translation>Ошибка при записи AVI файла!! ({file} {detail})</translation>
    </message>
    <message>
        <source>ClipOpenFailed</source>
        <translation>Не удаётся открыть AVI файл "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipHeaderCutShort</source>
        <translation>"{file}" не читается как AVI ролик: заголовок {chunk} обрывается</translation>
    </message>
    <message>
        <source>ClipFrameSizeInvalid</source>
        <translation>"{file}" не читается как AVI ролик: размер кадра {width}x{height}</translation>
    </message>
    <message>
        <source>ClipTooManyStreams</source>
        <translation>"{file}" не читается как AVI ролик: слишком много потоков</translation>
    </message>
    <message>
        <source>ClipNotAvi</source>
        <translation>"{file}" не AVI файл</translation>
    </message>
    <message>
        <source>ClipNoVideoStream</source>
        <translation>В файле "{file}" нет видеопотока</translation>
    </message>
    <message>
        <source>ClipCompressed</source>
        <translation>"{file}": сжатое видео ('{fourcc}') не читается как AVI ролик</translation>
    </message>
    <message>
        <source>ClipBitDepthUnsupported</source>
        <translation>"{file}": кадры по {bits} бит на точку не поддерживаются</translation>
    </message>
    <message>
        <source>ClipFramesTooLarge</source>
        <translation>"{file}": кадры слишком велики</translation>
    </message>
    <message>
        <source>ClipFrameRateImplausible</source>
        <translation>Не удаётся прочитать AVI файл "{file}": частота кадров {rate}/{scale} в секунду (допустимо от одного кадра в 10 с до 1000 кадров в секунду)</translation>
    </message>
    <message>
        <source>ClipFramesDamaged</source>
        <translation>Не удаётся прочитать AVI файл "{file}": повреждено кадров {count} из {total} (номера {frames}): в них нет {bytes} байт кадра {width}x{height} по {bits} бит</translation>
    </message>
    <message>
        <source>ClipFramesMismatchHeader</source>
        <translation>Не удаётся прочитать AVI файл "{file}": кадры по {found} байт, а заголовок говорит о кадрах {width}x{height} по {bits} бит, {bytes} байт</translation>
    </message>
    <message>
        <source>ClipFrameCutShort</source>
        <translation>"{file}": кадр {frame} обрывается</translation>
    </message>
    <message>
        <source>ClipSaveFailed</source>
        <translation>Ошибка при записи AVI файла!!</translation>
    </message>
    <message>
        <source>RepairNoWholeChunkAfterDamage</source>
        <translation>Файл "{file}" повреждён на байте {byte}, и после повреждения нет целого блока: файл оставлен как есть</translation>
    </message>
    <message>
        <source>RepairListInMovie</source>
        <translation>Файл "{file}" повреждён на байте {byte}: списки внутри данных ролика не восстанавливаются; файл оставлен как есть</translation>
    </message>
    <message>
        <source>RepairOpenDml</source>
        <translation>Файл "{file}" продолжается в следующих частях RIFF (OpenDML); такие файлы не восстанавливаются</translation>
    </message>
    <message>
        <source>RepairOpenFailed</source>
        <translation>Не удаётся открыть "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairNotAFile</source>
        <translation>"{file}" не файл</translation>
    </message>
    <message>
        <source>RepairCopyFailed</source>
        <translation>Не удаётся записать восстановленную копию "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairReplaceFailed</source>
        <translation>Не удаётся заменить "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairNoMovieData</source>
        <translation>В AVI файле "{file}" нет данных ролика</translation>
    </message>
    <message>
        <source>RepairDamagedWithOpenDmlIndex</source>
        <translation>В файле "{file}" повреждённые блоки и индексы OpenDML, смещения которых исказились бы без них; файл оставлен как есть</translation>
    </message>
    <message>
        <source>RepairTooLarge</source>
        <translation>Файл "{file}" слишком велик для одной части RIFF; он оставлен как есть</translation>
    </message>
    <message>
        <source>SessionLogOpenFailed</source>
        <translation>Не удаётся открыть журнал "{file}": {detail}</translation>
    </message>
    <message>
        <source>SessionLogWriteFailed</source>
        <translation>Не удаётся записать журнал "{file}": {detail}</translation>
    </message>
    <message>
        <source>GraphStreamFailed</source>
        <translation>Ошибка видеопотока: {detail}</translation>
    </message>
    <message>
        <source>TimeStampCreateFailed</source>
        <translation>Не удается создать ORBVideoFilter</translation>
    </message>
    <message>
        <source>CaptureDeviceNotFound</source>
        <translation>Устройство видеозахвата не найдено: {device}</translation>
    </message>
    <message>
        <source>VideoSourceNotCreated</source>
        <translation>Источник видео не создан: {detail}</translation>
    </message>
    <message>
        <source>CaptureGraphNotCreated</source>
        <translation>Граф захвата не создан: {detail}</translation>
    </message>
    <message>
        <source>VideoSourceNotLinked</source>
        <translation>Источник видео не соединяется с графом захвата</translation>
    </message>
    <message>
        <source>CodecAddFailed</source>
        <translation>Не удается добавить кодек компрессии!</translation>
    </message>
    <message>
        <source>EncoderSettingMalformed</source>
        <translation>"{text}" не настройка кодека вида свойство=значение</translation>
    </message>
    <message>
        <source>EncoderSettingUnknown</source>
        <translation>У кодека нет настройки "{property}"</translation>
    </message>
    <message>
        <source>EncoderSettingInvalid</source>
        <translation>"{value}" не допустимое значение настройки кодека "{property}"</translation>
    </message>
    <message>
        <source>EncoderSettingOutOfRange</source>
        <translation>"{value}" вне пределов настройки кодека "{property}" ({minimum} … {maximum})</translation>
    </message>
    <message>
        <source>CaptureGraphNotStarted</source>
        <translation>Граф захвата не запускается</translation>
    </message>
    <message>
        <source>TimeStampRegistrationFailed</source>
        <translation>Ошибка регистрации при ORBVideoFilter!</translation>
    </message>
    <message>
        <source>TimeStampMissing</source>
        <translation>Ошибка! Фильтр отсутствует в системе!

Попробуйте выполнить команду "gst-inspect-1.0 {plugin}"!</translation>
    </message>
    <message>
        <source>GStreamerInitFailed</source>
        <translation>GStreamer: {detail}</translation>
    </message>
    <message>
        <source>CaptureFormatSpecInvalid</source>
        <translation>"{text}" не формат захвата; пишите ФОРМАТ [ШИРИНАxВЫСОТА [ЧАСТОТА]], например "YUY2 720x576 25"</translation>
    </message>
    <message>
        <source>VideoDeviceOpenFailed</source>
        <translation>Не удаётся открыть видеоустройство "{device}": {detail}</translation>
    </message>
    <message>
        <source>MeteorBrightnessImplausible</source>
        <translation>Звёздная величина метеора не определена (яркость метеора {value} в файле {file} неправдоподобна): в отчёте MAGN=$.</translation>
    </message>
    <message>
        <source>ReferenceStarsImplausible</source>
        <translation>Звёздная величина метеора не определена (у звёзд файла {file} неправдоподобные яркости или звёздные величины): в отчёте MAGN=$.</translation>
    </message>
    <message>
        <source>MeteorMagnitudeImplausible</source>
        <translation>Звёздная величина метеора не определена (получилась неправдоподобная звёздная величина {value}): в отчёте MAGN=$.</translation>
    </message>
    <message>
        <source>RadiantCatalogMissing</source>
        <translation>Поток метеора не определён (нет каталога радиантов {file}): в отчёте SHOWER=$.</translation>
    </message>
    <message>
        <source>RadiantCatalogEmpty</source>
        <translation>Поток метеора не определён (в каталоге радиантов {file} нет ни одного радианта): в отчёте SHOWER=$.</translation>
    </message>
    <message>
        <source>TrackFramesImplausible</source>
        <translation>Кадры трека метеора в файле {file} (START {start}, FINISH {finish}) дают время полёта {flight} с и скорость {velocity} °/с (допустимо до {maxFlight} с и {maxVelocity} °/с): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>LabelFilesMissing</source>
        <translation>Отсутствуют необходимые файлы {astrometry} и/или {picture} для прорисовки звёздных величин.</translation>
    </message>
    <message>
        <source>LabelsNotDrawn</source>
        <translation>Надписи не нанесены: нет шрифта {font}</translation>
    </message>
    <message>
        <source>FontconfigInitFailed</source>
        <translation>Не удаётся запустить Fontconfig</translation>
    </message>
    <message>
        <source>FontNameInvalid</source>
        <translation>Недопустимое имя шрифта "{font}"</translation>
    </message>
    <message>
        <source>FontNotFound</source>
        <translation>Не найден шрифт "{font}"</translation>
    </message>
    <message>
        <source>FreeTypeInitFailed</source>
        <translation>Не удаётся запустить FreeType</translation>
    </message>
    <message>
        <source>FontLoadFailed</source>
        <translation>Не удаётся загрузить шрифт {font}</translation>
    </message>
    <message>
        <source>FontSizeMissing</source>
        <translation>У шрифта {font} нет размера {size} точек</translation>
    </message>
    <message>
        <source>TrackLineNotStartOrFinish</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: строка не START и не FINISH): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackLineRepeated</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: вторая строка {tag}): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackLineFieldCount</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: строка не из семи полей 0|0|x|y|кадр|яркость|{tag}): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackLineNotNumbers</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: координаты и номер кадра должны быть числами): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackFieldNotNumber</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: поле {field} ({value}) не число): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackBrightnessInvalid</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: яркость {value} не целое неотрицательное число): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackFrameOutside</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: кадр {frame} вне кадров события (1–{count})): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackPointOutside</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: точка ({x}, {y}) вне кадра {width}×{height}): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackEndsBeforeStart</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: конец трека отмечен на кадре {finish}, раньше начала (кадр {start})): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackWithoutLength</source>
        <translation>Трек метеора не принят (в файле {file}, строка {line}: начало и конец трека в одной точке ({x}, {y}): у трека нет длины): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>JpegNotJpeg</source>
        <translation>Файл {file} не начинается как JPEG</translation>
    </message>
    <message>
        <source>JpegMarkerCutShort</source>
        <translation>В файле {file} обрывается маркер</translation>
    </message>
    <message>
        <source>JpegSegmentCutShort</source>
        <translation>В файле {file} обрывается сегмент</translation>
    </message>
    <message>
        <source>JpegSegmentLengthInvalid</source>
        <translation>У сегмента файла {file} недопустимая длина</translation>
    </message>
    <message>
        <source>JpegTypeInvalid</source>
        <translation>FileType {file} is invalid</translation>
    </message>
    <message>
        <source>JpegMissing</source>
        <translation>File {file} does not exist</translation>
    </message>
    <message>
        <source>JpegEmpty</source>
        <translation>File {file} is Empty</translation>
    </message>
    <message>
        <source>JpegAttributesInvalid</source>
        <translation>FileAttributes ({attributes}) of File {file} are invalid</translation>
    </message>
    <message>
        <source>JpegReadFailed</source>
        <translation>File {file} Stream Reading Error
{detail}</translation>
    </message>
    <message>
        <source>JpegTooLarge</source>
        <translation>Файл {file} слишком велик для JPEG</translation>
    </message>
    <message>
        <source>JpegNoFileLoaded</source>
        <translation>Could not write into File: no file is loaded</translation>
    </message>
    <message>
        <source>JpegInsertionBeyondEnd</source>
        <translation>Could not write into File {file}
the insertion point lies beyond the end of the file</translation>
    </message>
    <message>
        <source>JpegReadOnly</source>
        <translation>Could not write into File {file}
the file is read-only</translation>
    </message>
    <message>
        <source>JpegWriteFailed</source>
        <translation>Could not write into File {file}
{detail}</translation>
    </message>
    <message>
        <source>JpegTimesNotWritten</source>
        <translation>Could not write filedate of File {file}</translation>
    </message>
    <message>
        <source>JpegEncodeFailed</source>
        <translation>Не удаётся записать JPEG файл "{file}": {detail}</translation>
    </message>
    <message>
        <source>ExportReportDateInvalid</source>
        <translation>Отчёт события {file} повреждён ({text}: не дата дд.мм.гггг): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportTimeInvalid</source>
        <translation>Отчёт события {file} повреждён ({text}: не время чч:мм:сс): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportNumberOutside</source>
        <translation>Отчёт события {file} повреждён ({text}: не число от {low} до {high}): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportMagnitudeInvalid</source>
        <translation>Отчёт события {file} повреждён ({text}: не звёздная величина от {low} до {high} и не $): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportNumberNotPositive</source>
        <translation>Отчёт события {file} повреждён ({text}: не число больше 0 и до {high}): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportCharactersInvalid</source>
        <translation>Отчёт события {file} повреждён ({text}: недопустимые знаки): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportValueEmpty</source>
        <translation>Отчёт события {file} повреждён ({text}: пусто): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportLineCount</source>
        <translation>Отчёт события {file} повреждён (строк {lines} вместо {expected}): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportKeyMissing</source>
        <translation>Отчёт события {file} повреждён (строка {line} не начинается с {key}): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportReportUnreadable</source>
        <translation>Отчёт события {file} повреждён (файл не читается): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportNightNameNotDate</source>
        <translation>Отчёт события {file} повреждён (ночь {night} не дата ггггммдд): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportEventNameNotTime</source>
        <translation>Отчёт события {file} повреждён (имя события {event} не начинается со времени ччммсс): событие не включено в {target}.</translation>
    </message>
    <message>
        <source>ExportSettingRewritten</source>
        <translation>Настройка {setting} "{text}" записана в {target} как "{written}": запятая и управляющие знаки делят поля строки, а знаков вне Windows-1251 файл не хранит. Исправьте настройку.</translation>
    </message>
    <message>
        <source>ExportWritten</source>
        <translation>Отчёт {file} сформирован!</translation>
    </message>
    <message>
        <source>ExportWrittenWithoutEvents</source>
        <translation>Отчёт {file} сформирован без {count} событий с повреждёнными отчётами.</translation>
    </message>
    <message>
        <source>ExportMonthInvalid</source>
        <translation>"{text}" не месяц вида ггггмм</translation>
    </message>
    <message>
        <source>ClipUndecodable</source>
        <translation>"{file}" не читается как AVI ролик и не декодируется как видео: {detail}</translation>
    </message>
    <message>
        <source>IntakeCancelled</source>
        <translation>Взятие ролика в работу отменено</translation>
    </message>
    <message>
        <source>IntakeStartNumberInvalid</source>
        <translation>Начальный номер кадра должен быть целым числом от 1: {text}</translation>
    </message>
    <message>
        <source>ClipNotAFile</source>
        <translation>"{file}" не файл</translation>
    </message>
    <message>
        <source>ClipHoldsNoFrames</source>
        <translation>В ролике "{file}" нет кадров</translation>
    </message>
    <message>
        <source>ClipNameWithoutEvent</source>
        <translation>"{file}": имя ролика не даёт имени события</translation>
    </message>
    <message>
        <source>StageExtractingFrames</source>
        <translation>Извлечение кадров</translation>
    </message>
    <message>
        <source>StageDetectingDecoded</source>
        <translation>Детектирование метеоров (декодирование)</translation>
    </message>
    <message>
        <source>StageDetectingFrames</source>
        <translation>Детектирование метеоров</translation>
    </message>
    <message>
        <source>EventBusy</source>
        <translation>Событие {event} уже обрабатывается другой программой или в другом окне: эта обработка не запущена.</translation>
    </message>
    <message>
        <source>BindingCatalogMissing</source>
        <translation>Файл {file} отсутствует. Расчёт невозможен!</translation>
    </message>
    <message>
        <source>StageStarDetection</source>
        <translation>Детектирование звёзд</translation>
    </message>
    <message>
        <source>StageBinding</source>
        <translation>Привязка координат</translation>
    </message>
    <message>
        <source>StageFrameCentre</source>
        <translation>Уточнение центра кадра</translation>
    </message>
    <message>
        <source>StageMagnitudeLabels</source>
        <translation>Дополнительные надписи (magn)</translation>
    </message>
    <message>
        <source>StageSpectrumLabels</source>
        <translation>Дополнительные надписи (спектр)</translation>
    </message>
    <message>
        <source>StageMagnitudes</source>
        <translation>Приведение звёздных величин</translation>
    </message>
    <message>
        <source>StageMeteorCoordinates</source>
        <translation>Расчёт координат положения метеора</translation>
    </message>
    <message>
        <source>StageReport</source>
        <translation>Формирование отчёта</translation>
    </message>
    <message>
        <source>TrackMissingNoReport</source>
        <translation>Трек метеора не размечен (в файле {file} нет строк START и FINISH): отчёт не сформирован.</translation>
    </message>
    <message>
        <source>TrackWithoutSkyLength</source>
        <translation>Начало и конец трека метеора совпадают на небе (файл {file}): трек без длины не метеор, отчёт не сформирован.</translation>
    </message>
    <message>
        <source>SourceDeliversNoFrames</source>
        <translation>Источник видео не даёт кадров</translation>
    </message>
    <message>
        <source>WorkFailedUnexpectedly</source>
        <translation>Работа прервана непредвиденной ошибкой: {detail}</translation>
    </message>
    <message>
        <source>PhotoPosition</source>
        <translation>Метеор {event}({events}), Кадр {frame}({frames})</translation>
    </message>
    <message>
        <source>TrackPointLabel</source>
        <translation>X = {x} Y = {y}   Кадр: {frame}</translation>
    </message>
    <message>
        <source>TrackStartAndFinishUnmarked</source>
        <translation>Не отмечены начало и конец метеора.</translation>
    </message>
    <message>
        <source>TrackStartUnmarked</source>
        <translation>Не отмечено начало метеора.</translation>
    </message>
    <message>
        <source>TrackFinishUnmarked</source>
        <translation>Не отмечен конец метеора.</translation>
    </message>
    <message>
        <source>TrackEstimateStreakFit</source>
        <translation>по следу</translation>
    </message>
    <message>
        <source>TrackEstimateLeadingEdge</source>
        <translation>по переднему краю</translation>
    </message>
    <message>
        <source>TrackEstimateSpotCentroid</source>
        <translation>по центру пятна</translation>
    </message>
    <message>
        <source>TrackEstimatePredicted</source>
        <translation>по движению</translation>
    </message>
    <message>
        <source>TrackProposed</source>
        <translation>Трек предложен: начало — {start}, конец — {finish}</translation>
    </message>
    <message>
        <source>NoMeteorProposed</source>
        <translation>Метеор не найден.</translation>
    </message>
    <message>
        <source>ReplaceTrackQuestion</source>
        <translation>У события уже есть сохранённый трек. Заменить отметки предложенным треком?</translation>
    </message>
    <message>
        <source>ClipDeleteGone</source>
        <translation>Файл {file} не удалён: его уже нет.</translation>
    </message>
    <message>
        <source>ClipDeleteNotFile</source>
        <translation>Файл {file} не удалён: это не файл.</translation>
    </message>
    <message>
        <source>ClipDeleteFailed</source>
        <translation>Файл {file} не удалён: {detail}.</translation>
    </message>
    <message>
        <source>JournalOpenFailed</source>
        <translation>Не удаётся открыть журнал станции "{file}": {detail}</translation>
    </message>
    <message>
        <source>JournalWriteFailed</source>
        <translation>Не удаётся записать журнал станции "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationLockCreateFailed</source>
        <translation>Не удаётся создать файл блокировки станции "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationLockFailed</source>
        <translation>Не удаётся заблокировать "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationAlreadyRunning</source>
        <translation>В {directory} уже работает другая станция (PID {pid}): две станции взяли бы одни и те же ролики; сначала остановите её</translation>
    </message>
    <message>
        <source>ClockSynchronised</source>
        <translation>часы синхронизированы ({detail})</translation>
    </message>
    <message>
        <source>ClockNotSynchronised</source>
        <translation>часы не синхронизированы: время роликов и все RA/Dec могут быть неверны ({detail})</translation>
    </message>
    <message>
        <source>ClockStateUnknown</source>
        <translation>состояние часов неизвестно ({detail})</translation>
    </message>
    <message>
        <source>SetupIniMissing</source>
        <translation>нет {file} в {directory}: станция работала бы со встроенными настройками, местом 52.43° с. ш., 30.98° в. д.; скопируйте туда образец настроек и задайте место</translation>
    </message>
    <message>
        <source>SetupPlaceBuiltIn</source>
        <translation>место встроенное (широта {latitude}, долгота {longitude}): задайте [Observatory] latitude, longitude, pole и hemisphere</translation>
    </message>
    <message>
        <source>SetupTextHasComma</source>
        <translation>{setting} "{text}": запятая разделила бы поля экспорта</translation>
    </message>
    <message>
        <source>SetupTextOutsideCp1251</source>
        <translation>{setting} "{text}": знак, которого нет в Windows-1251</translation>
    </message>
    <message>
        <source>SetupTextNotUtf8</source>
        <translation>{setting} "{text}": текст не в UTF-8</translation>
    </message>
    <message>
        <source>SetupStarCatalogMissing</source>
        <translation>нет каталога звёзд "{file}": ни одно событие не будет привязано к небу</translation>
    </message>
    <message>
        <source>SetupStarCatalogEmpty</source>
        <translation>каталог звёзд "{file}" пуст: ни одно событие не будет привязано к небу</translation>
    </message>
    <message>
        <source>SetupRadiantCatalogMissing</source>
        <translation>нет каталога радиантов "{file}": ни один метеор не получит поток</translation>
    </message>
    <message>
        <source>SetupRadiantCatalogEmpty</source>
        <translation>каталог радиантов "{file}" пуст: ни один метеор не получит поток</translation>
    </message>
    <message>
        <source>SetupSourceWithoutFormat</source>
        <translation>источник "{source}" не создаётся или не сообщает формат до запуска</translation>
    </message>
    <message>
        <source>SetupSourceFormats</source>
        <translation>источник даёт {format} и ещё форматов: {others}</translation>
    </message>
    <message>
        <source>SetupCameraMissing</source>
        <translation>камеры {device} нет</translation>
    </message>
    <message>
        <source>SetupDiskShort</source>
        <translation>на диске станции свободно {free} МБ, меньше, чем нужно на ночь из {events} событий и minFreeSpaceMB ({need} МБ)</translation>
    </message>
    <message>
        <source>SetupDiskFree</source>
        <translation>на диске станции свободно {free} МБ</translation>
    </message>
    <message>
        <source>SetupTimeZoneDiffers</source>
        <translation>часовой пояс системы сейчас UT{system}, timeZone {timeZone}: ролики называются по времени станции, UT + timeZone</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
<context>
    <name>DiagnosticCaption</name>
    <message>
        <source>TimeStampRegistrationFailed</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>ExportReportDateInvalid</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportTimeInvalid</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportNumberOutside</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportMagnitudeInvalid</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportNumberNotPositive</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportCharactersInvalid</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportValueEmpty</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportLineCount</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportKeyMissing</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportReportUnreadable</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportNightNameNotDate</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportEventNameNotTime</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportSettingRewritten</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportWritten</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ExportWrittenWithoutEvents</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>TrackStartAndFinishUnmarked</source>
        <translation>Разметка трека</translation>
    </message>
    <message>
        <source>TrackStartUnmarked</source>
        <translation>Разметка трека</translation>
    </message>
    <message>
        <source>TrackFinishUnmarked</source>
        <translation>Разметка трека</translation>
    </message>
    <message>
        <source>NoMeteorProposed</source>
        <translation>Предложить трек</translation>
    </message>
    <message>
        <source>ReplaceTrackQuestion</source>
        <translation>Предложить трек</translation>
    </message>
    <message>
        <source>ClipDeleteGone</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ClipDeleteNotFile</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <message>
        <source>ClipDeleteFailed</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <!-- the DiagnosticCaption context ends here -->
</context>
</TS>
