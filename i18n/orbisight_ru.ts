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
    </message>
    <!-- the Diagnostic context ends here -->
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
