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
        <source>ClipReadFailed</source>
        <translation>Cannot read "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipEndedEarly</source>
        <translation>"{file}" ends sooner than its headers say</translation>
    </message>
    <message>
        <source>ClipCreateFailed</source>
        <translation>Cannot create the AVI file "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipWriteFailed</source>
        <translation>Cannot write the AVI file "{file}" {detail}</translation>
    </message>
    <message>
        <source>ClipOpenFailed</source>
        <translation>Cannot open the AVI file "{file}": {detail}</translation>
    </message>
    <message>
        <source>ClipHeaderCutShort</source>
        <translation>"{file}" is not a readable AVI clip: its {chunk} header is cut short</translation>
    </message>
    <message>
        <source>ClipFrameSizeInvalid</source>
        <translation>"{file}" is not a readable AVI clip: its frames are {width}x{height}</translation>
    </message>
    <message>
        <source>ClipTooManyStreams</source>
        <translation>"{file}" is not a readable AVI clip: it has too many streams</translation>
    </message>
    <message>
        <source>ClipNotAvi</source>
        <translation>"{file}" is not an AVI file</translation>
    </message>
    <message>
        <source>ClipNoVideoStream</source>
        <translation>"{file}" holds no video stream</translation>
    </message>
    <message>
        <source>ClipCompressed</source>
        <translation>"{file}": compressed video ('{fourcc}') is not read as an AVI clip</translation>
    </message>
    <message>
        <source>ClipBitDepthUnsupported</source>
        <translation>"{file}": frames of {bits} bits per pixel are not supported</translation>
    </message>
    <message>
        <source>ClipFramesTooLarge</source>
        <translation>"{file}": the frames are too large</translation>
    </message>
    <message>
        <source>ClipFrameRateImplausible</source>
        <translation>Cannot read the AVI file "{file}": its stream header gives a frame rate of {rate}/{scale} frames per second; a frame every 1 ms to 10 s is accepted</translation>
    </message>
    <message>
        <source>ClipFramesDamaged</source>
        <translation>Cannot read the AVI file "{file}": {count} of {total} frames are damaged (numbers {frames}): their chunks do not hold the {bytes} bytes of a {width}x{height} {bits}-bit frame</translation>
    </message>
    <message>
        <source>ClipFramesMismatchHeader</source>
        <translation>Cannot read the AVI file "{file}": its frames are {found} bytes, but its header gives {width}x{height} {bits}-bit frames of {bytes} bytes</translation>
    </message>
    <message>
        <source>ClipFrameCutShort</source>
        <translation>"{file}": frame {frame} is cut short</translation>
    </message>
    <message>
        <source>ClipSaveFailed</source>
        <translation>The event clip "{file}" was not saved whole ({detail}): it keeps {written} of {total} frames</translation>
    </message>
    <message>
        <source>RepairNoWholeChunkAfterDamage</source>
        <translation>"{file}" is damaged at byte {byte} with no whole chunk after it, not only cut short; it is left as it is</translation>
    </message>
    <message>
        <source>RepairListInMovie</source>
        <translation>"{file}" is damaged at byte {byte}: lists inside the movie data are not repaired; it is left as it is</translation>
    </message>
    <message>
        <source>RepairOpenDml</source>
        <translation>"{file}" continues in further RIFF parts (OpenDML); such files are not repaired</translation>
    </message>
    <message>
        <source>RepairOpenFailed</source>
        <translation>Cannot open "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairNotAFile</source>
        <translation>"{file}" is not a file</translation>
    </message>
    <message>
        <source>RepairCopyFailed</source>
        <translation>Cannot write the repaired copy of "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairReplaceFailed</source>
        <translation>Cannot replace "{file}": {detail}</translation>
    </message>
    <message>
        <source>RepairNoMovieData</source>
        <translation>"{file}" is not an AVI file with movie data</translation>
    </message>
    <message>
        <source>RepairDamagedWithOpenDmlIndex</source>
        <translation>"{file}" has damaged chunks and OpenDML index chunks, whose offsets leaving them out would falsify; it is left as it is</translation>
    </message>
    <message>
        <source>RepairTooLarge</source>
        <translation>"{file}" is too large for one RIFF part; it is left as it is</translation>
    </message>
    <message>
        <source>SessionLogOpenFailed</source>
        <translation>Cannot open the log "{file}": {detail}</translation>
    </message>
    <message>
        <source>SessionLogWriteFailed</source>
        <translation>Cannot write the log "{file}": {detail}</translation>
    </message>
    <message>
        <source>GraphStreamFailed</source>
        <translation>The video stream failed: {detail}</translation>
    </message>
    <message>
        <source>TimeStampCreateFailed</source>
        <translation>Cannot create ORBVideoFilter</translation>
    </message>
    <message>
        <source>CaptureDeviceNotFound</source>
        <translation>Video capture device not found: {device}</translation>
    </message>
    <message>
        <source>VideoSourceNotCreated</source>
        <translation>The video source was not created: {detail}</translation>
    </message>
    <message>
        <source>CaptureGraphNotCreated</source>
        <translation>The capture graph was not created: {detail}</translation>
    </message>
    <message>
        <source>VideoSourceNotLinked</source>
        <translation>The video source does not link to the capture graph</translation>
    </message>
    <message>
        <source>CodecAddFailed</source>
        <translation>Cannot add the compression codec ({encoder})!</translation>
    </message>
    <message>
        <source>EncoderSettingMalformed</source>
        <translation>"{text}" is not an encoder setting of the form property=value</translation>
    </message>
    <message>
        <source>EncoderSettingUnknown</source>
        <translation>The encoder has no setting "{property}"</translation>
    </message>
    <message>
        <source>EncoderSettingInvalid</source>
        <translation>"{value}" is not a valid value of the encoder setting "{property}"</translation>
    </message>
    <message>
        <source>EncoderSettingOutOfRange</source>
        <translation>"{value}" is outside the range of the encoder setting "{property}" ({minimum} … {maximum})</translation>
    </message>
    <message>
        <source>CaptureGraphNotStarted</source>
        <translation>The capture graph does not start</translation>
    </message>
    <message>
        <source>TimeStampRegistrationFailed</source>
        <translation>The ORBVideoFilter plugin could not be registered from {directory}!</translation>
    </message>
    <message>
        <source>TimeStampMissing</source>
        <translation>Error! The filter is missing from the system!

Try the command "gst-inspect-1.0 {plugin}"!</translation>
    </message>
    <message>
        <source>GStreamerInitFailed</source>
        <translation>GStreamer: {detail}</translation>
    </message>
    <message>
        <source>CaptureFormatSpecInvalid</source>
        <translation>"{text}" is not a capture format; write it as FORMAT [WIDTHxHEIGHT [RATE]], e.g. "YUY2 720x576 25"</translation>
    </message>
    <message>
        <source>VideoDeviceOpenFailed</source>
        <translation>Cannot open the video device "{device}": {detail}</translation>
    </message>
    <message>
        <source>MeteorBrightnessImplausible</source>
        <translation>The meteor's magnitude was not determined (the meteor's brightness {value} in {file} is implausible): the report says MAGN=$.</translation>
    </message>
    <message>
        <source>ReferenceStarsImplausible</source>
        <translation>The meteor's magnitude was not determined (the stars of {file} have implausible brightnesses or magnitudes): the report says MAGN=$.</translation>
    </message>
    <message>
        <source>MeteorMagnitudeImplausible</source>
        <translation>The meteor's magnitude was not determined (the magnitude came out implausible: {value}): the report says MAGN=$.</translation>
    </message>
    <message>
        <source>RadiantCatalogMissing</source>
        <translation>The meteor's shower was not determined (the radiant catalog {file} is missing): the report says SHOWER=$.</translation>
    </message>
    <message>
        <source>RadiantCatalogEmpty</source>
        <translation>The meteor's shower was not determined (the radiant catalog {file} holds no radiant): the report says SHOWER=$.</translation>
    </message>
    <message>
        <source>TrackFramesImplausible</source>
        <translation>The meteor track's frames in {file} (START {start}, FINISH {finish}) give a flight time of {flight} s and a velocity of {velocity} °/s (at most {maxFlight} s and {maxVelocity} °/s are accepted): no report was written.</translation>
    </message>
    <message>
        <source>LabelFilesMissing</source>
        <translation>The files {astrometry} and/or {picture} needed to draw the magnitudes are missing.</translation>
    </message>
    <message>
        <source>LabelsNotDrawn</source>
        <translation>The labels were not drawn: no usable font {font}</translation>
    </message>
    <message>
        <source>FontconfigInitFailed</source>
        <translation>Fontconfig cannot be initialised</translation>
    </message>
    <message>
        <source>FontNameInvalid</source>
        <translation>Invalid font name "{font}"</translation>
    </message>
    <message>
        <source>FontNotFound</source>
        <translation>No font found for "{font}"</translation>
    </message>
    <message>
        <source>FreeTypeInitFailed</source>
        <translation>FreeType cannot be initialised</translation>
    </message>
    <message>
        <source>FontLoadFailed</source>
        <translation>Cannot load the font {font}</translation>
    </message>
    <message>
        <source>FontSizeMissing</source>
        <translation>The font {font} has no size of {size} pixels</translation>
    </message>
    <message>
        <source>TrackLineNotStartOrFinish</source>
        <translation>The meteor track was refused (in {file}, line {line}: the line is neither START nor FINISH): no report was written.</translation>
    </message>
    <message>
        <source>TrackLineRepeated</source>
        <translation>The meteor track was refused (in {file}, line {line}: a second {tag} line): no report was written.</translation>
    </message>
    <message>
        <source>TrackLineFieldCount</source>
        <translation>The meteor track was refused (in {file}, line {line}: the line does not have the seven fields 0|0|x|y|frame|brightness|{tag}): no report was written.</translation>
    </message>
    <message>
        <source>TrackLineNotNumbers</source>
        <translation>The meteor track was refused (in {file}, line {line}: the coordinates and the frame number must be numbers): no report was written.</translation>
    </message>
    <message>
        <source>TrackFieldNotNumber</source>
        <translation>The meteor track was refused (in {file}, line {line}: field {field} ({value}) is not a number): no report was written.</translation>
    </message>
    <message>
        <source>TrackBrightnessInvalid</source>
        <translation>The meteor track was refused (in {file}, line {line}: the brightness {value} is not a whole number of zero or more): no report was written.</translation>
    </message>
    <message>
        <source>TrackFrameOutside</source>
        <translation>The meteor track was refused (in {file}, line {line}: frame {frame} lies outside the event's frames (1–{count})): no report was written.</translation>
    </message>
    <message>
        <source>TrackPointOutside</source>
        <translation>The meteor track was refused (in {file}, line {line}: the point ({x}, {y}) lies outside the {width}×{height} frame): no report was written.</translation>
    </message>
    <message>
        <source>TrackEndsBeforeStart</source>
        <translation>The meteor track was refused (in {file}, line {line}: the track's end is marked on frame {finish}, before its start (frame {start})): no report was written.</translation>
    </message>
    <message>
        <source>TrackWithoutLength</source>
        <translation>The meteor track was refused (in {file}, line {line}: the track starts and ends at the same point ({x}, {y}): it has no length): no report was written.</translation>
    </message>
    <message>
        <source>JpegNotJpeg</source>
        <translation>The file {file} does not start like a JPEG</translation>
    </message>
    <message>
        <source>JpegMarkerCutShort</source>
        <translation>A marker of the file {file} is cut short</translation>
    </message>
    <message>
        <source>JpegSegmentCutShort</source>
        <translation>A segment of the file {file} is cut short</translation>
    </message>
    <message>
        <source>JpegSegmentLengthInvalid</source>
        <translation>A segment of the file {file} has an invalid length</translation>
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
        <translation>The file {file} is too large for a JPEG</translation>
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
        <translation>Cannot write the JPEG file "{file}": {detail}</translation>
    </message>
    <message>
        <source>ExportReportDateInvalid</source>
        <translation>The event report {file} is damaged ({text}: not a date dd.mm.yyyy): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportTimeInvalid</source>
        <translation>The event report {file} is damaged ({text}: not a time hh:mm:ss): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportNumberOutside</source>
        <translation>The event report {file} is damaged ({text}: not a number from {low} to {high}): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportMagnitudeInvalid</source>
        <translation>The event report {file} is damaged ({text}: not a magnitude from {low} to {high} nor $): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportNumberNotPositive</source>
        <translation>The event report {file} is damaged ({text}: not a number above 0 and up to {high}): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportCharactersInvalid</source>
        <translation>The event report {file} is damaged ({text}: characters not allowed): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportValueEmpty</source>
        <translation>The event report {file} is damaged ({text}: empty): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportLineCount</source>
        <translation>The event report {file} is damaged ({lines} lines instead of {expected}): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportKeyMissing</source>
        <translation>The event report {file} is damaged (line {line} does not start with {key}): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportReportUnreadable</source>
        <translation>The event report {file} is damaged (the file cannot be read): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportNightNameNotDate</source>
        <translation>The event report {file} cannot be dated (the night {night} is not a date yyyymmdd): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportEventNameNotTime</source>
        <translation>The event report {file} cannot be dated (the event name {event} does not start with a time hhmmss): the event is left out of {target}.</translation>
    </message>
    <message>
        <source>ExportSettingRewritten</source>
        <translation>The setting {setting} "{text}" was written to {target} as "{written}": commas and control characters split the line's fields, and the file keeps no characters outside Windows-1251. Correct the setting.</translation>
    </message>
    <message>
        <source>ExportWritten</source>
        <translation>The report {file} has been written!</translation>
    </message>
    <message>
        <source>ExportWrittenWithoutEvents</source>
        <translation>The report {file} has been written without {count} events whose reports are damaged.</translation>
    </message>
    <message>
        <source>ExportMonthInvalid</source>
        <translation>"{text}" is not a month of the form yyyymm</translation>
    </message>
    <message>
        <source>ClipUndecodable</source>
        <translation>"{file}" is neither a readable AVI clip nor video that can be decoded: {detail}</translation>
    </message>
    <message>
        <source>IntakeCancelled</source>
        <translation>Taking the clip into work was cancelled</translation>
    </message>
    <message>
        <source>IntakeStartNumberInvalid</source>
        <translation>The start number must be a whole number of 1 or more: {text}</translation>
    </message>
    <message>
        <source>ClipNotAFile</source>
        <translation>"{file}" is not a file</translation>
    </message>
    <message>
        <source>ClipHoldsNoFrames</source>
        <translation>"{file}" holds no frames</translation>
    </message>
    <message>
        <source>ClipNameWithoutEvent</source>
        <translation>"{file}": the clip's name gives no event name</translation>
    </message>
    <message>
        <source>StageExtractingFrames</source>
        <translation>Extracting frames</translation>
    </message>
    <message>
        <source>StageDetectingDecoded</source>
        <translation>Detecting meteors (decoding)</translation>
    </message>
    <message>
        <source>StageDetectingFrames</source>
        <translation>Detecting meteors</translation>
    </message>
    <message>
        <source>EventBusy</source>
        <translation>The event {event} is already being processed by another program or in another window: this processing was not started.</translation>
    </message>
    <message>
        <source>BindingCatalogMissing</source>
        <translation>The file {file} is missing. The calculation is impossible!</translation>
    </message>
    <message>
        <source>StageStarDetection</source>
        <translation>Detecting stars</translation>
    </message>
    <message>
        <source>StageBinding</source>
        <translation>Binding the coordinates</translation>
    </message>
    <message>
        <source>StageFrameCentre</source>
        <translation>Refining the frame centre</translation>
    </message>
    <message>
        <source>StageMagnitudeLabels</source>
        <translation>Additional labels (magn)</translation>
    </message>
    <message>
        <source>StageSpectrumLabels</source>
        <translation>Additional labels (spectrum)</translation>
    </message>
    <message>
        <source>StageMagnitudes</source>
        <translation>Reducing the magnitudes</translation>
    </message>
    <message>
        <source>StageMeteorCoordinates</source>
        <translation>Computing the meteor's coordinates</translation>
    </message>
    <message>
        <source>StageReport</source>
        <translation>Writing the report</translation>
    </message>
    <message>
        <source>TrackMissingNoReport</source>
        <translation>The meteor track is not marked ({file} has no START and FINISH lines): no report was written.</translation>
    </message>
    <message>
        <source>TrackWithoutSkyLength</source>
        <translation>The meteor track's start and end coincide on the sky ({file}): a track without length is no meteor, no report was written.</translation>
    </message>
    <message>
        <source>SourceDeliversNoFrames</source>
        <translation>The video source delivers no frames</translation>
    </message>
    <message>
        <source>WorkFailedUnexpectedly</source>
        <translation>The work ended with an unexpected failure: {detail}</translation>
    </message>
    <message>
        <source>PhotoPosition</source>
        <translation>Meteor {event}({events}), Frame {frame}({frames})</translation>
    </message>
    <message>
        <source>TrackPointLabel</source>
        <translation>X = {x} Y = {y}   Frame: {frame}</translation>
    </message>
    <message>
        <source>TrackStartAndFinishUnmarked</source>
        <translation>The meteor's start and end are not marked.</translation>
    </message>
    <message>
        <source>TrackStartUnmarked</source>
        <translation>The meteor's start is not marked.</translation>
    </message>
    <message>
        <source>TrackFinishUnmarked</source>
        <translation>The meteor's end is not marked.</translation>
    </message>
    <message>
        <source>TrackEstimateStreakFit</source>
        <translation>by the streak</translation>
    </message>
    <message>
        <source>TrackEstimateLeadingEdge</source>
        <translation>by the leading edge</translation>
    </message>
    <message>
        <source>TrackEstimateSpotCentroid</source>
        <translation>by the spot's centre</translation>
    </message>
    <message>
        <source>TrackEstimatePredicted</source>
        <translation>by the motion</translation>
    </message>
    <message>
        <source>TrackProposed</source>
        <translation>Track proposed: start {start}, end {finish}</translation>
    </message>
    <message>
        <source>NoMeteorProposed</source>
        <translation>No meteor found.</translation>
    </message>
    <message>
        <source>ReplaceTrackQuestion</source>
        <translation>The event already has a saved track. Replace the marks with the proposed track?</translation>
    </message>
    <message>
        <source>ClipDeleteGone</source>
        <translation>The file {file} was not deleted: it is no longer there.</translation>
    </message>
    <message>
        <source>ClipDeleteNotFile</source>
        <translation>The file {file} was not deleted: it is not a file.</translation>
    </message>
    <message>
        <source>ClipDeleteFailed</source>
        <translation>The file {file} was not deleted: {detail}.</translation>
    </message>
    <message>
        <source>JournalOpenFailed</source>
        <translation>Cannot open the station's journal "{file}": {detail}</translation>
    </message>
    <message>
        <source>JournalWriteFailed</source>
        <translation>Cannot write the station's journal "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationLockCreateFailed</source>
        <translation>Cannot create the station's lock file "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationLockFailed</source>
        <translation>Cannot lock "{file}": {detail}</translation>
    </message>
    <message>
        <source>StationAlreadyRunning</source>
        <translation>Another station is running on {directory} (PID {pid}): two stations would take the same clips; stop it first</translation>
    </message>
    <message>
        <source>ClockSynchronised</source>
        <translation>clock synchronised ({detail})</translation>
    </message>
    <message>
        <source>ClockNotSynchronised</source>
        <translation>clock not synchronised: the clips' times, and every RA/Dec, may be off ({detail})</translation>
    </message>
    <message>
        <source>ClockStateUnknown</source>
        <translation>clock unknown ({detail})</translation>
    </message>
    <message>
        <source>SetupIniMissing</source>
        <translation>no {file} in {directory}: the station would run with the built-in settings, a place at 52.43° N, 30.98° E; copy the sample settings there and set the place</translation>
    </message>
    <message>
        <source>SetupPlaceBuiltIn</source>
        <translation>the place is the built-in one (latitude {latitude}, longitude {longitude}): set [Observatory] latitude, longitude, pole and hemisphere</translation>
    </message>
    <message>
        <source>SetupTextHasComma</source>
        <translation>{setting} "{text}": a comma would split the exports' fields</translation>
    </message>
    <message>
        <source>SetupTextOutsideCp1251</source>
        <translation>{setting} "{text}": a character Windows-1251 cannot hold</translation>
    </message>
    <message>
        <source>SetupTextNotUtf8</source>
        <translation>{setting} "{text}": text that is not UTF-8</translation>
    </message>
    <message>
        <source>SetupStarCatalogMissing</source>
        <translation>the star catalog "{file}" is missing: no event can be bound to the sky</translation>
    </message>
    <message>
        <source>SetupStarCatalogEmpty</source>
        <translation>the star catalog "{file}" is empty: no event can be bound to the sky</translation>
    </message>
    <message>
        <source>SetupRadiantCatalogMissing</source>
        <translation>the radiant catalog "{file}" is missing: no meteor gets its shower</translation>
    </message>
    <message>
        <source>SetupRadiantCatalogEmpty</source>
        <translation>the radiant catalog "{file}" is empty: no meteor gets its shower</translation>
    </message>
    <message>
        <source>SetupSourceWithoutFormat</source>
        <translation>the source "{source}" cannot be made or tells no format before it runs</translation>
    </message>
    <message>
        <source>SetupSourceFormats</source>
        <translation>the source gives {format} and {others} other format(s)</translation>
    </message>
    <message>
        <source>SetupCameraMissing</source>
        <translation>the camera {device} is not there</translation>
    </message>
    <message>
        <source>SetupDiskShort</source>
        <translation>{free} MB free on the station's disk, less than a night of {events} events and minFreeSpaceMB need ({need} MB)</translation>
    </message>
    <message>
        <source>SetupDiskFree</source>
        <translation>{free} MB free on the station's disk</translation>
    </message>
    <message>
        <source>SetupTimeZoneDiffers</source>
        <translation>the system's time zone is UT{system} now, timeZone is {timeZone}: clips are named by the station's time, UT + timeZone</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
<context>
    <name>DiagnosticCaption</name>
    <message>
        <source>TimeStampRegistrationFailed</source>
        <translation>Error</translation>
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
        <translation>Track marking</translation>
    </message>
    <message>
        <source>TrackStartUnmarked</source>
        <translation>Track marking</translation>
    </message>
    <message>
        <source>TrackFinishUnmarked</source>
        <translation>Track marking</translation>
    </message>
    <message>
        <source>NoMeteorProposed</source>
        <translation>Propose a track</translation>
    </message>
    <message>
        <source>ReplaceTrackQuestion</source>
        <translation>Propose a track</translation>
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
