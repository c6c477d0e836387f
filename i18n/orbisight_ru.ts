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
        <source>NotAnEventOfTheStation</source>
        <translation>Каталог {folder} не является событием ночи станции: откройте его ночь в режиме фото.</translation>
        <source>NotAFloat</source>
        <translation>'{text}' — недопустимое вещественное число</translation>
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
        <source>CaptureFormatUnsupported</source>
        <translation>Данный формат видео не поддерживается.</translation>
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
    <!-- the Cli context ends here -->
</context>
<context>
    <name>DiagnosticCaption</name>
    <message>
        <source>FrameFormatRefused</source>
        <translation>Orbisight 2.0</translation>
    </message>
    <!-- the DiagnosticCaption context ends here -->
</context>
</TS>
