<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Diagnostic</name>
    <message>
        <source>Unworded</source>
        <translation>{text}</translation>
    </message>
    <message>
        <source>CaptureFormatUnsupported</source>
        <translation>This video format is not supported.</translation>
    </message>
    <message>
        <source>DarkFrameNotGrey</source>
        <translation>The dark frame {file} is not an 8-bit picture: {reason}</translation>
    </message>
    <message>
        <source>MaskFrameNotGrey</source>
        <translation>The mask {file} is not an 8-bit picture: {reason}</translation>
    </message>
    <message>
        <source>DarkFrameSizeMismatch</source>
        <translation>The dark frame {file} is {size}, the frames are {frameSize}.</translation>
    </message>
    <message>
        <source>MaskFrameSizeMismatch</source>
        <translation>The mask {file} is {size}, the frames are {frameSize}.</translation>
    </message>
    <message>
        <source>FramesBeforeEventTooFew</source>
        <translation>At least one frame must be kept before an event.</translation>
    </message>
    <message>
        <source>FramesAfterEventNegative</source>
        <translation>The number of frames after an event cannot be negative.</translation>
    </message>
    <message>
        <source>SignalFramesTooFew</source>
        <translation>At least one signal frame is needed.</translation>
    </message>
    <message>
        <source>EventRingTooLong</source>
        <translation>No more than {limit} frames can be kept before and after an event.</translation>
    </message>
    <message>
        <source>FrameSizeMissing</source>
        <translation>The frame size is not set.</translation>
    </message>
    <message>
        <source>EventFrameSizeMismatch</source>
        <translation>The frame {file} is {size}, the other frames of the event are {eventSize}.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
