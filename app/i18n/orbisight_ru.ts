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
    <message>
        <source>NotAnInteger</source>
        <translation>'{text}' — недопустимое целое число</translation>
    </message>
    <message>
        <source>DateTimeInvalid</source>
        <translation>Недопустимые дата и время {date}</translation>
    </message>
    <message>
        <source>FieldNotANumber</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' — недопустимое вещественное число</translation>
    </message>
    <message>
        <source>TextConversionUnavailable</source>
        <translation>Преобразование текста {from} -&gt; {to} недоступно</translation>
    </message>
    <message>
        <source>FileNotOpened</source>
        <translation>Не удаётся открыть файл "{file}": {reason}</translation>
    </message>
    <message>
        <source>FileNotRead</source>
        <translation>Не удаётся прочитать файл "{file}"</translation>
    </message>
    <message>
        <source>FileNotWritten</source>
        <translation>Не удаётся записать файл "{file}" ({step}): {reason}</translation>
    </message>
    <message>
        <source>IntegerDivisionByZero</source>
        <translation>Деление на ноль</translation>
    </message>
    <message>
        <source>IntegerDivisionOverflow</source>
        <translation>Переполнение целого при делении {dividend} на {divisor}</translation>
    </message>
    <message>
        <source>LeastSquaresWithoutUnknowns</source>
        <translation>Метод наименьших квадратов: нужно хотя бы одно неизвестное</translation>
    </message>
    <message>
        <source>LeastSquaresTooFewEquations</source>
        <translation>Метод наименьших квадратов: {equations} уравнений не определяют {unknowns} неизвестных</translation>
    </message>
    <message>
        <source>LeastSquaresTooFewRows</source>
        <translation>Метод наименьших квадратов: запрошено {equations} уравнений, в матрице {rows} строк</translation>
    </message>
    <message>
        <source>LeastSquaresRowTooShort</source>
        <translation>Метод наименьших квадратов: в строке {row} меньше {columns} столбцов</translation>
    </message>
    <message>
        <source>LeastSquaresSingular</source>
        <translation>Метод наименьших квадратов: уравнения не определяют неизвестное {unknown} из {unknowns} (вырожденная система)</translation>
    </message>
    <message>
        <source>SettingUnknown</source>
        <translation>Нет настройки {key}</translation>
    </message>
    <message>
        <source>SettingWithoutRange</source>
        <translation>У настройки {key} нет допустимого диапазона</translation>
    </message>
    <message>
        <source>SettingsNotRead</source>
        <translation>Не удаётся прочитать файл настроек "{file}"</translation>
    </message>
    <message>
        <source>SettingsNotWritten</source>
        <translation>Не удаётся записать файл настроек "{file}"</translation>
    </message>
    <message>
        <source>SettingNotANumber</source>
        <translation>{file}, [{section}] {key}: '{text}' — недопустимое вещественное число</translation>
    </message>
    <message>
        <source>SettingNotAnInteger</source>
        <translation>{file}, [{section}] {key}: '{text}' — недопустимое целое число; взято значение по умолчанию {default}</translation>
    </message>
    <message>
        <source>SettingNotAFlag</source>
        <translation>{file}, [{section}] {key}: '{text}' — не флаг (0 или 1); взято значение по умолчанию {default}</translation>
    </message>
    <message>
        <source>SettingSectionUnknown</source>
        <translation>{file}, [{section}]: такого раздела нет</translation>
    </message>
    <message>
        <source>SettingKeyUnknown</source>
        <translation>{file}, [{section}] {key}: такой настройки в этом разделе нет; строка сохраняется, но не читается</translation>
    </message>
    <message>
        <source>SettingKeyOutsideSection</source>
        <translation>{file}, вне разделов, {key}: настроек вне раздела нет; строка сохраняется, но не читается</translation>
    </message>
    <message>
        <source>SettingKeyInUnknownSection</source>
        <translation>{file}, [{section}] {key}: такого раздела нет; строка сохраняется, но не читается</translation>
    </message>
    <message>
        <source>SettingKeyMisplaced</source>
        <translation>{file}, [{section}] {key}: настройка {setting} находится в разделе [{belongs}]; строка сохраняется, но не читается</translation>
    </message>
    <message>
        <source>SettingOutOfRange</source>
        <translation>Недопустимое значение ключа [{section}] {key} в {file}: {value} (допустимо от {low} до {high}).</translation>
    </message>
    <message>
        <source>SettingOutOfOpenRange</source>
        <translation>Недопустимое значение ключа [{section}] {key} в {file}: {value} (допустимо больше {low} и не больше {high}).</translation>
    </message>
    <message>
        <source>UnsavedSettingOutOfRange</source>
        <translation>Недопустимое значение ключа [{section}] {key}: {value} (допустимо от {low} до {high}).</translation>
    </message>
    <message>
        <source>UnsavedSettingOutOfOpenRange</source>
        <translation>Недопустимое значение ключа [{section}] {key}: {value} (допустимо больше {low} и не больше {high}).</translation>
    </message>
    <message>
        <source>BitmapDamaged</source>
        <translation>"{file}" — непригодный файл BMP: {defect} {value}</translation>
    </message>
    <message>
        <source>BitmapUnsupported</source>
        <translation>"{file}" — непригодный файл BMP: не поддерживается {feature} {value}</translation>
    </message>
    <message>
        <source>BitmapNotGrey</source>
        <translation>"{file}" — {bits}-битный файл BMP; нужен 8-битный серый</translation>
    </message>
    <message>
        <source>BitmapSizeInvalid</source>
        <translation>Размер {width} x {height} для "{file}" недопустим</translation>
    </message>
    <message>
        <source>BitmapDepthInvalid</source>
        <translation>{bits} бит на пиксель для "{file}" недопустимо</translation>
    </message>
    <message>
        <source>BitmapPixelsMismatch</source>
        <translation>{bytes} байт пикселей для {width} x {height} при {bits} битах</translation>
    </message>
    <message>
        <source>BitmapPaletteTooLarge</source>
        <translation>Палитра из {entries} цветов</translation>
    </message>
    <message>
        <source>BitmapTooLarge</source>
        <translation>Изображение "{file}" слишком велико для файла BMP</translation>
    </message>
    <message>
        <source>DistortionTooFewPairs</source>
        <translation>Многочлены дисторсии имеют по {needed} коэффициентов: нужно не меньше {needed} пар точек, а их {pairs}</translation>
    </message>
    <message>
        <source>DistortionPairsUndetermined</source>
        <translation>{pairs} пар точек не определяют многочлены дисторсии (точки лежат на прямой или конике либо повторяются): распределите их по кадру</translation>
    </message>
    <message>
        <source>DistortionFrameEmpty</source>
        <translation>Коэффициенты дисторсии [Distortion] в {file} не могут описывать объектив ({changed}): кадр {width}×{height} пуст. Исправьте их или выключите коррекцию (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionSourceFar</source>
        <translation>Коэффициенты дисторсии [Distortion] в {file} не могут описывать объектив ({changed}): пиксель ({x}, {y}) кадра {width}×{height} берётся из точки ({u}, {v}), дальше четверти кадра за его краем. Исправьте их или выключите коррекцию (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionSourceInfinite</source>
        <translation>Коэффициенты дисторсии [Distortion] в {file} не могут описывать объектив ({changed}): пиксель ({x}, {y}) кадра {width}×{height} берётся из бесконечности, дальше четверти кадра за его краем. Исправьте их или выключите коррекцию (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionOrderHorizontal</source>
        <translation>Коэффициенты дисторсии [Distortion] в {file} не могут описывать объектив ({changed}): пиксели ({x1}, {y1}) и ({x2}, {y2}) кадра {width}×{height} берутся из точек с x {before} и {after}: порядок по горизонтали не сохранён. Исправьте их или выключите коррекцию (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionOrderVertical</source>
        <translation>Коэффициенты дисторсии [Distortion] в {file} не могут описывать объектив ({changed}): пиксели ({x1}, {y1}) и ({x2}, {y2}) кадра {width}×{height} берутся из точек с y {before} и {after}: порядок по вертикали не сохранён. Исправьте их или выключите коррекцию (correctDistortion=0).</translation>
    </message>
    <message>
        <source>FrameNumberStartInvalid</source>
        <translation>Номера кадров начинаются с 1, а не с {start}</translation>
    </message>
    <message>
        <source>FrameFormatRefused</source>
        <translation>Файл ч/б или имеeт недопустимый формат!</translation>
    </message>
    <message>
        <source>FrameBytesMismatch</source>
        <translation>Кадр из {bytes} байт для {width}x{height}</translation>
    </message>
    <message>
        <source>FileNameWithoutTime</source>
        <translation>В имени файла '{file}' нет времени наблюдения</translation>
    </message>
    <message>
        <source>DirectoryNotCreated</source>
        <translation>Не удаётся создать каталог "{directory}": {reason}</translation>
    </message>
    <message>
        <source>WorkBitmapSizeWrong</source>
        <translation>Файл {file} имеет размер {width}x{height}, а ожидается {expectedWidth}x{expectedHeight}.</translation>
    </message>
    <message>
        <source>EventFrameSizeDiffers</source>
        <translation>Кадр {file} имеет размер {width}x{height}, а остальные кадры события — {eventWidth}x{eventHeight}.</translation>
    </message>
    <message>
        <source>DarkFrameSizeDiffers</source>
        <translation>Темновой кадр {file} имеет размер {width}x{height}, а кадры события — {eventWidth}x{eventHeight}: темновой кадр не вычтен.</translation>
    </message>
    <message>
        <source>StageReadingFrames</source>
        <translation>Чтение исходных кадров</translation>
    </message>
    <message>
        <source>StageRemovingDarkFrame</source>
        <translation>Удаление темнового кадра</translation>
    </message>
    <message>
        <source>StageLevellingBackground</source>
        <translation>Выравнивание фона</translation>
    </message>
    <message>
        <source>StageSummingFrames</source>
        <translation>Суммирование кадров</translation>
    </message>
    <message>
        <source>StageSavingMagnitudeFrame</source>
        <translation>Сохранение кадра для определения зв.величин</translation>
    </message>
    <message>
        <source>StageAutoContrast</source>
        <translation>Автоконтраст</translation>
    </message>
    <message>
        <source>StageOverlayingMeteor</source>
        <translation>Наложение метеора на кадр</translation>
    </message>
    <message>
        <source>StageDoublingHeight</source>
        <translation>Удвоение высоты/деинтерлейсинг</translation>
    </message>
    <message>
        <source>StageCorrectingDistortion</source>
        <translation>Корррекция дисторсии</translation>
    </message>
    <message>
        <source>WorkFieldCount</source>
        <translation>{file}, строка {line}: полей {count}, а в формате {layout} их {expected}</translation>
    </message>
    <message>
        <source>WorkFieldNotANumber</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' — не число</translation>
    </message>
    <message>
        <source>WorkFieldOutOfRange</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' вне допустимого диапазона (от {low} до {high})</translation>
    </message>
    <message>
        <source>WorkFieldNotWhole</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' — не целое число</translation>
    </message>
    <message>
        <source>WorkFieldAfterTrackTag</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' стоит после метки трека</translation>
    </message>
    <message>
        <source>WorkFieldNotCentreTag</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' — не метка центра CENTER</translation>
    </message>
    <message>
        <source>WorkFieldNotTrackTag</source>
        <translation>{file}, строка {line}, поле {field}: '{text}' — ни START, ни FINISH</translation>
    </message>
    <message>
        <source>StarListMissingForCentre</source>
        <translation>Отсутствует необходимый файл {file} для определения центра кадра.</translation>
    </message>
    <message>
        <source>TooFewStarsInFile</source>
        <translation>В файле {file} недостаточно опорных звёзд.</translation>
    </message>
    <message>
        <source>PlateVerified</source>
        <translation>Проверка привязки: совпало звёзд {matched} из {detected}, предсказано в кадре {predicted}, случайно {chance}, невязка {residual} пикс., вероятность случайности 1E{log10Chance}.</translation>
    </message>
    <message>
        <source>StarBindingFailed</source>
        <translation>Ошибочная привязка звёзд. Проверьте исходные момент времени, артефакты на фото и пр.!</translation>
    </message>
    <message>
        <source>StarListMissingForBinding</source>
        <translation>Отсутствует необходимый файл {file} для привязки звёзд.</translation>
    </message>
    <message>
        <source>EventFileNameInvalid</source>
        <translation>Недопустимое имя файла {file}.</translation>
    </message>
    <message>
        <source>TooFewReferenceStars</source>
        <translation>Недостаточное количество опорных звёзд!</translation>
    </message>
    <message>
        <source>ScanStepInvalid</source>
        <translation>Недопустимый шаг сканирования {step}.</translation>
    </message>
    <message>
        <source>StarCatalogMissing</source>
        <translation>Файл {file} отсутствует. Расчёт невозможен!</translation>
    </message>
    <message>
        <source>StarBitmapMissing</source>
        <translation>Отсутствует необходимый файл {file} для детектирования опорных звёзд.</translation>
    </message>
    <message>
        <source>StarFillOutOfRange</source>
        <translation>Заливка звезды: затравка {seed}, ширина {width} или размеры буферов ({size}) вне допустимого</translation>
    </message>
    <message>
        <source>SimPointingAmbiguous</source>
        <translation>Имитатор неба: задайте наведение либо как (ra, dec), либо как (азимут, высота)</translation>
    </message>
    <message>
        <source>SimFrameSizeInvalid</source>
        <translation>Имитатор неба: размер кадра {width}x{height} должен быть положительным</translation>
    </message>
    <message>
        <source>SimFieldsTooShort</source>
        <translation>Имитатор неба: для полукадров нужно изображение не меньше двух строк</translation>
    </message>
    <message>
        <source>SimRateOrCountInvalid</source>
        <translation>Имитатор неба: частота кадров {fps} и число кадров {frames} должны быть положительными</translation>
    </message>
    <message>
        <source>SimOpticsInvalid</source>
        <translation>Имитатор неба: фокусное расстояние и масштаб должны быть положительными</translation>
    </message>
    <message>
        <source>SimBlurOrNoiseInvalid</source>
        <translation>Имитатор неба: ширина PSF должна быть положительной, шум — неотрицательным</translation>
    </message>
    <message>
        <source>SimWeaveInvalid</source>
        <translation>Имитатор неба: для сплетённых кадров нужны полные кадры не меньше двух строк</translation>
    </message>
    <message>
        <source>SimNegativeEffect</source>
        <translation>Имитатор неба: усиление фотонов, мерцание и горячие пиксели не могут быть отрицательными</translation>
    </message>
    <message>
        <source>SimJpegQualityInvalid</source>
        <translation>Имитатор неба: качество JPEG {quality} должно быть от 1 до 100 или 0</translation>
    </message>
    <message>
        <source>SimMeteorEndsMissing</source>
        <translation>Имитатор неба: у метеора {meteor} нет начала или конца</translation>
    </message>
    <message>
        <source>SimMeteorFramesOutside</source>
        <translation>Имитатор неба: кадры метеора {meteor} должны лежать внутри клипа</translation>
    </message>
    <message>
        <source>SimMeteorPhaseInvalid</source>
        <translation>Имитатор неба: метеор {meteor} должен вспыхнуть и погаснуть в пределах первой и последней экспозиции</translation>
    </message>
    <message>
        <source>SimLightFramesOutside</source>
        <translation>Имитатор неба: кадры движущегося огня {light} должны лежать внутри клипа</translation>
    </message>
    <message>
        <source>SimLightBlinkInvalid</source>
        <translation>Имитатор неба: мигающий огонь {light} горит от 1 до blinkPeriod кадров из каждых blinkPeriod</translation>
    </message>
    <message>
        <source>SimMeteorBehindCamera</source>
        <translation>Имитатор неба: точка метеора не перед камерой</translation>
    </message>
    <message>
        <source>SimMeteorEndsAntipodal</source>
        <translation>Имитатор неба: концы метеора диаметрально противоположны</translation>
    </message>
    <message>
        <source>SimJpegRoundTripFailed</source>
        <translation>Имитатор неба: сжатие кадра в JPEG и обратно не удалось</translation>
    </message>
    <message>
        <source>DarkFrameNotGrey</source>
        <translation>Тёмный кадр {file} не является 8-битным изображением: {reason}</translation>
    </message>
    <message>
        <source>MaskFrameNotGrey</source>
        <translation>Маска {file} не является 8-битным изображением: {reason}</translation>
    </message>
    <message>
        <source>DarkFrameSizeMismatch</source>
        <translation>Тёмный кадр {file}: размер {size} не совпадает с размером кадра {frameSize}.</translation>
    </message>
    <message>
        <source>MaskFrameSizeMismatch</source>
        <translation>Маска {file}: размер {size} не совпадает с размером кадра {frameSize}.</translation>
    </message>
    <message>
        <source>FramesBeforeEventTooFew</source>
        <translation>Число кадров до события должно быть не меньше 1.</translation>
    </message>
    <message>
        <source>FramesAfterEventNegative</source>
        <translation>Число кадров после события не может быть отрицательным.</translation>
    </message>
    <message>
        <source>SignalFramesTooFew</source>
        <translation>Число сигнальных кадров должно быть не меньше 1.</translation>
    </message>
    <message>
        <source>EventRingTooLong</source>
        <translation>Число кадров до и после события не может быть больше {limit}.</translation>
    </message>
    <message>
        <source>FrameSizeMissing</source>
        <translation>Размер кадра не задан.</translation>
    </message>
    <message>
        <source>EventFrameSizeMismatch</source>
        <translation>Кадр {file} имеет размер {size}, а остальные кадры события — {eventSize}.</translation>
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
    <message>
        <source>NotAnEventOfTheStation</source>
        <translation>Каталог {folder} не является событием ночи станции: откройте его ночь в режиме фото.</translation>
    </message>
    <message>
        <source>NotAFloat</source>
        <translation>'{text}' — недопустимое вещественное число</translation>
    </message>
    <message>
        <source>CaptureFormatUnsupported</source>
        <translation>Данный формат видео не поддерживается.</translation>
    </message>
    <message>
        <source>SimRadiantAmbiguous</source>
        <translation>Имитатор сети: радиант метеора задаётся либо азимутом и высотой, либо прямым восхождением и склонением</translation>
    </message>
    <message>
        <source>SimFlightEndUnreached</source>
        <translation>Имитатор сети: метеор не опускается до высоты своего конца</translation>
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
    <!-- the Cli context ends here -->
</context>
<context>
    <name>DiagnosticCaption</name>
    <message>
        <source>FrameFormatRefused</source>
        <translation>Orbisight 2.0</translation>
    </message>
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
    <!-- the DiagnosticCaption context ends here -->
</context>
</TS>
