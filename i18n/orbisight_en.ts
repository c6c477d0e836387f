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
    <message>
        <source>StationDirectoryMissing</source>
        <translation>no station directory "{directory}"</translation>
    </message>
    <message>
        <source>SettingsPathNotAFile</source>
        <translation>"{file}" is not a settings file</translation>
    </message>
    <message>
        <source>StationSettingsMissing</source>
        <translation>no {file} in {directory}: the station would run with the built-in place (52.43 N, 30.98 E); write one (see `orbisight-cli check`) or run with --without-settings</translation>
    </message>
    <message>
        <source>GivenDirectoryMissing</source>
        <translation>no such directory: {directory}</translation>
    </message>
    <message>
        <source>GivenFileMissing</source>
        <translation>no such file: {file}</translation>
    </message>
    <message>
        <source>NightDirectoryMisnamed</source>
        <translation>"{directory}" is not a night directory (its name is not yyyymmdd)</translation>
    </message>
    <message>
        <source>EventWithoutFrames</source>
        <translation>no frame files (F001.bmp ...) in {directory}: take its clip into work first (`orbisight-cli extract CLIP.avi`)</translation>
    </message>
    <message>
        <source>TrackNotMarked</source>
        <translation>{event}: no track marked: mark it in the window or run `orbisight-cli track --auto {event}`</translation>
    </message>
    <message>
        <source>DeviceNotListed</source>
        <translation>no video device "{device}"; devices found: {devices}</translation>
    </message>
    <message>
        <source>FormatNotListed</source>
        <translation>the device {device} does not offer the format "{format}"; it offers: {formats}</translation>
    </message>
    <message>
        <source>StartTimeMalformed</source>
        <translation>'{text}' is not a date and time YYYY-MM-DD hh:nn:ss.zzz</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
<context>
    <name>Cli</name>
    <message>
        <source>{option} given twice</source>
        <translation>{option} given twice</translation>
    </message>
    <message>
        <source>{option} needs a value</source>
        <translation>{option} needs a value</translation>
    </message>
    <message>
        <source>unknown argument '{argument}'</source>
        <translation>unknown argument '{argument}'</translation>
    </message>
    <message>
        <source>unknown command '{command}'</source>
        <translation>unknown command '{command}'</translation>
    </message>
    <message>
        <source>unknown mode '{mode}'</source>
        <translation>unknown mode '{mode}'</translation>
    </message>
    <message>
        <source>{option} takes ru or en</source>
        <translation>{option} takes ru or en</translation>
    </message>
    <message>
        <source>one clip is needed</source>
        <translation>one clip is needed</translation>
    </message>
    <message>
        <source>one event directory is needed</source>
        <translation>one event directory is needed</translation>
    </message>
    <message>
        <source>one night directory is needed</source>
        <translation>one night directory is needed</translation>
    </message>
    <message>
        <source>one file of point pairs is needed</source>
        <translation>one file of point pairs is needed</translation>
    </message>
    <message>
        <source>no event directory given</source>
        <translation>no event directory given</translation>
    </message>
    <message>
        <source>{command} takes no file names</source>
        <translation>{command} takes no file names</translation>
    </message>
    <message>
        <source>{option} must be 1 or more</source>
        <translation>{option} must be 1 or more</translation>
    </message>
    <message>
        <source>{option} must be more than 0</source>
        <translation>{option} must be more than 0</translation>
    </message>
    <message>
        <source>{option} only goes with {other}</source>
        <translation>{option} only goes with {other}</translation>
    </message>
    <message>
        <source>{option} is required</source>
        <translation>{option} is required</translation>
    </message>
    <message>
        <source>a pointing (--ra and --dec, or --az and --alt) is required</source>
        <translation>a pointing (--ra and --dec, or --az and --alt) is required</translation>
    </message>
    <message>
        <source>{option} and {other} exclude each other</source>
        <translation>{option} and {other} exclude each other</translation>
    </message>
    <message>
        <source>a meteor needs 7 numbers: '{text}'</source>
        <translation>a meteor needs 7 numbers: '{text}'</translation>
    </message>
    <message>
        <source>give either --device or --source</source>
        <translation>give either --device or --source</translation>
    </message>
    <message>
        <source>give either a night directory or --month YYYYMM</source>
        <translation>give either a night directory or --month YYYYMM</translation>
    </message>
    <message>
        <source>--month takes YYYYMM</source>
        <translation>--month takes YYYYMM</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>info</source>
        <translation>info</translation>
    </message>
    <message>
        <source>note</source>
        <translation>note</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>{event}: being processed elsewhere, not run</source>
        <translation>{event}: being processed elsewhere, not run</translation>
    </message>
    <message>
        <source>{event}: no frames</source>
        <translation>{event}: no frames</translation>
    </message>
    <message>
        <source>{event}: report written</source>
        <translation>{event}: report written</translation>
    </message>
    <message>
        <source>{event}: no report</source>
        <translation>{event}: no report</translation>
    </message>
    <message>
        <source>{directory} holds no event directories</source>
        <translation>{directory} holds no event directories</translation>
    </message>
    <message>
        <source>no meteor found</source>
        <translation>no meteor found</translation>
    </message>
    <message>
        <source>brightest frame: {file}</source>
        <translation>brightest frame: {file}</translation>
    </message>
    <message>
        <source>{file} exists and is kept (--force replaces it)</source>
        <translation>{file} exists and is kept (--force replaces it)</translation>
    </message>
    <message>
        <source>{file} written:</source>
        <translation>{file} written:</translation>
    </message>
    <message>
        <source>{clip}: whole, nothing changed ({frames} frames)</source>
        <translation>{clip}: whole, nothing changed ({frames} frames)</translation>
    </message>
    <message>
        <source>{clip}: repaired, {frames} frames indexed</source>
        <translation>{clip}: repaired, {frames} frames indexed</translation>
    </message>
    <message>
        <source>, {bytes} bytes of a last chunk cut short left out</source>
        <translation>, {bytes} bytes of a last chunk cut short left out</translation>
    </message>
    <message>
        <source>, {count} damaged frame(s) left out ({bytes} bytes)</source>
        <translation>, {count} damaged frame(s) left out ({bytes} bytes)</translation>
    </message>
    <message>
        <source>{directory}  {count} frames from {file}</source>
        <translation>{directory}  {count} frames from {file}</translation>
    </message>
    <message>
        <source>"{clip}" decoded to {count} frame(s) where its headers announce {declared}</source>
        <translation>"{clip}" decoded to {count} frame(s) where its headers announce {declared}</translation>
    </message>
    <message>
        <source>{count} frame(s) announced by "{clip}" are damaged or cut off and were not saved</source>
        <translation>{count} frame(s) announced by "{clip}" are damaged or cut off and were not saved</translation>
    </message>
    <message>
        <source>{file}  {frames} frames</source>
        <translation>{file}  {frames} frames</translation>
    </message>
    <message>
        <source>{file}  {frames} frames  (not written)</source>
        <translation>{file}  {frames} frames  (not written)</translation>
    </message>
    <message>
        <source>{file}  {frames} frames  (incomplete)</source>
        <translation>{file}  {frames} frames  (incomplete)</translation>
    </message>
    <message>
        <source>the run was stopped while an event was still collecting its frames; it was dropped</source>
        <translation>the run was stopped while an event was still collecting its frames; it was dropped</translation>
    </message>
    <message>
        <source>the input ended while an event was still collecting its frames; it was dropped</source>
        <translation>the input ended while an event was still collecting its frames; it was dropped</translation>
    </message>
    <message>
        <source>{count} frame(s) announced by "{file}" are damaged or cut off and were not examined; a meteor may have been in them</source>
        <translation>{count} frame(s) announced by "{file}" are damaged or cut off and were not examined; a meteor may have been in them</translation>
    </message>
    <message>
        <source>the sky reached the automatic shutdown level at frame {frame}</source>
        <translation>the sky reached the automatic shutdown level at frame {frame}</translation>
    </message>
    <message>
        <source>{count} frame(s) could not be handled as part of an event; an event may have been lost</source>
        <translation>{count} frame(s) could not be handled as part of an event; an event may have been lost</translation>
    </message>
    <message>
        <source>{frames} frames examined, {events} events</source>
        <translation>{frames} frames examined, {events} events</translation>
    </message>
    <message>
        <source>{frames} frames examined, {events} events (stopped by a signal)</source>
        <translation>{frames} frames examined, {events} events (stopped by a signal)</translation>
    </message>
    <message>
        <source>coefficients written to {file}</source>
        <translation>coefficients written to {file}</translation>
    </message>
    <message>
        <source>{errors} error(s), {warnings} warning(s)</source>
        <translation>{errors} error(s), {warnings} warning(s)</translation>
    </message>
    <message>
        <source>{nights} night(s), {mornings} morning(s), {failed} event(s) failed</source>
        <translation>{nights} night(s), {mornings} morning(s), {failed} event(s) failed</translation>
    </message>
    <message>
        <source>the sky is bright: session stopped, powering off</source>
        <translation>the sky is bright: session stopped, powering off</translation>
    </message>
    <message>
        <source>recording {file}</source>
        <translation>recording {file}</translation>
    </message>
    <message>
        <source>clip {file}  {frames} frames</source>
        <translation>clip {file}  {frames} frames</translation>
    </message>
    <message>
        <source>{count} events</source>
        <translation>{count} events</translation>
    </message>
    <message>
        <source>the recording {file} did not finish in time; its index may be missing</source>
        <translation>the recording {file} did not finish in time; its index may be missing</translation>
    </message>
    <message>
        <source>no video devices</source>
        <translation>no video devices</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>level {level}  noise {noise}+{raise}  noise pixels {pixels}</source>
        <translation>level {level}  noise {noise}+{raise}  noise pixels {pixels}</translation>
    </message>
    <message>
        <source>level {level}  noise {noise}+{raise}  noise pixels {pixels}  event</source>
        <translation>level {level}  noise {noise}+{raise}  noise pixels {pixels}  event</translation>
    </message>
    <message>
        <source>two events or more are needed</source>
        <translation>two events or more are needed</translation>
    </message>
    <message>
        <source>two nights or more are needed</source>
        <translation>two nights or more are needed</translation>
    </message>
    <message>
        <source>written: {file}</source>
        <translation>written: {file}</translation>
    </message>
    <message>
        <source>{count} meteor(s) seen by several stations, {solved} solved; table: {file}</source>
        <translation>{count} meteor(s) seen by several stations, {solved} solved; table: {file}</translation>
    </message>
</context>
</TS>
