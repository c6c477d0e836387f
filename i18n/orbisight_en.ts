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
        <source>EventMeasurementDamaged</source>
        <translation>The event file {file} is damaged or not an event measurement (at {field}).</translation>
    </message>
    <message>
        <source>EventMeasurementNotWritten</source>
        <translation>The per-frame measurement {file} was not written: {problem}</translation>
    </message>
    <message>
        <source>NightFrameFileLeftOut</source>
        <translation>The event {event} is left out of the night file {file}: {problem}</translation>
    </message>
    <message>
        <source>TrackHeadsDamaged</source>
        <translation>The track proposal's heads file {file} is damaged at line {line}.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
