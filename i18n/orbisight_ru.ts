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
</TS>
