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
        <source>StationPlaceUnknown</source>
        <translation>The station of event {event} has no place (latitude and longitude): its sight lines cannot be placed on the Earth.</translation>
    </message>
    <message>
        <source>SightLinesTooFew</source>
        <translation>Event {event} has too few measured frames, or too short a track, to give the plane of its sight lines.</translation>
    </message>
    <message>
        <source>StationTimesApart</source>
        <translation>The frames of event {event} do not overlap in time with those of any other station: not the same meteor.</translation>
    </message>
    <message>
        <source>PlanesConvergeTooLittle</source>
        <translation>The stations' planes meet at only {angle}°: the path cannot be found reliably; no trajectory is given.</translation>
    </message>
    <message>
        <source>PathOutsideAtmosphere</source>
        <translation>The stations' planes meet at {height} km, below the ground or above 200 km: not one meteor; no trajectory is given.</translation>
    </message>
    <message>
        <source>PathBehindStation</source>
        <translation>The path lies behind the camera of event {event}: not one meteor; no trajectory is given.</translation>
    </message>
    <message>
        <source>TwoStationsNeeded</source>
        <translation>A trajectory needs the events of at least two stations.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
