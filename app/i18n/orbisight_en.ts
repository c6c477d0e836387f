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
    <message>
        <source>NotAnInteger</source>
        <translation>'{text}' is not a valid integer value</translation>
    </message>
    <message>
        <source>DateTimeInvalid</source>
        <translation>Invalid date and time {date}</translation>
    </message>
    <message>
        <source>FieldNotANumber</source>
        <translation>{file}, line {line}, field {field}: '{text}' is not a valid floating point value</translation>
    </message>
    <message>
        <source>TextConversionUnavailable</source>
        <translation>Text conversion {from} -&gt; {to} is not available</translation>
    </message>
    <message>
        <source>FileNotOpened</source>
        <translation>Cannot open file "{file}": {reason}</translation>
    </message>
    <message>
        <source>FileNotRead</source>
        <translation>Cannot read file "{file}"</translation>
    </message>
    <message>
        <source>FileNotWritten</source>
        <translation>Cannot write file "{file}" ({step}): {reason}</translation>
    </message>
    <message>
        <source>IntegerDivisionByZero</source>
        <translation>Division by zero</translation>
    </message>
    <message>
        <source>IntegerDivisionOverflow</source>
        <translation>Integer overflow dividing {dividend} by {divisor}</translation>
    </message>
    <message>
        <source>LeastSquaresWithoutUnknowns</source>
        <translation>Least squares: at least one unknown is needed</translation>
    </message>
    <message>
        <source>LeastSquaresTooFewEquations</source>
        <translation>Least squares: {equations} equations cannot determine {unknowns} unknowns</translation>
    </message>
    <message>
        <source>LeastSquaresTooFewRows</source>
        <translation>Least squares: {equations} equations requested, the matrix has {rows} rows</translation>
    </message>
    <message>
        <source>LeastSquaresRowTooShort</source>
        <translation>Least squares: row {row} has fewer than {columns} columns</translation>
    </message>
    <message>
        <source>LeastSquaresSingular</source>
        <translation>Least squares: the equations do not determine unknown {unknown} of {unknowns} (singular system)</translation>
    </message>
    <message>
        <source>SettingUnknown</source>
        <translation>There is no setting {key}</translation>
    </message>
    <message>
        <source>SettingWithoutRange</source>
        <translation>The setting {key} has no permitted range</translation>
    </message>
    <message>
        <source>SettingsNotRead</source>
        <translation>Cannot read the settings file "{file}"</translation>
    </message>
    <message>
        <source>SettingsNotWritten</source>
        <translation>Cannot write the settings file "{file}"</translation>
    </message>
    <message>
        <source>SettingNotANumber</source>
        <translation>{file}, [{section}] {key}: '{text}' is not a valid floating point value</translation>
    </message>
    <message>
        <source>SettingNotAnInteger</source>
        <translation>{file}, [{section}] {key}: '{text}' is not a valid integer value; the default {default} is used</translation>
    </message>
    <message>
        <source>SettingNotAFlag</source>
        <translation>{file}, [{section}] {key}: '{text}' is not a flag (0 or 1); the default {default} is used</translation>
    </message>
    <message>
        <source>SettingSectionUnknown</source>
        <translation>{file}, [{section}]: no such section</translation>
    </message>
    <message>
        <source>SettingKeyUnknown</source>
        <translation>{file}, [{section}] {key}: no such setting in this section; the line is kept but not read</translation>
    </message>
    <message>
        <source>SettingKeyOutsideSection</source>
        <translation>{file}, outside any section, {key}: no setting outside a section; the line is kept but not read</translation>
    </message>
    <message>
        <source>SettingKeyInUnknownSection</source>
        <translation>{file}, [{section}] {key}: no such section; the line is kept but not read</translation>
    </message>
    <message>
        <source>SettingKeyMisplaced</source>
        <translation>{file}, [{section}] {key}: {setting} belongs in [{belongs}]; the line is kept but not read</translation>
    </message>
    <message>
        <source>SettingOutOfRange</source>
        <translation>Invalid value of the key [{section}] {key} in {file}: {value} (permitted {low} to {high}).</translation>
    </message>
    <message>
        <source>SettingOutOfOpenRange</source>
        <translation>Invalid value of the key [{section}] {key} in {file}: {value} (permitted above {low} up to {high}).</translation>
    </message>
    <message>
        <source>UnsavedSettingOutOfRange</source>
        <translation>Invalid value of the key [{section}] {key}: {value} (permitted {low} to {high}).</translation>
    </message>
    <message>
        <source>UnsavedSettingOutOfOpenRange</source>
        <translation>Invalid value of the key [{section}] {key}: {value} (permitted above {low} up to {high}).</translation>
    </message>
    <message>
        <source>BitmapDamaged</source>
        <translation>"{file}" is not a usable bitmap: {defect} {value}</translation>
    </message>
    <message>
        <source>BitmapUnsupported</source>
        <translation>"{file}" is not a usable bitmap: {feature} {value} is not supported</translation>
    </message>
    <message>
        <source>BitmapNotGrey</source>
        <translation>"{file}" is a {bits}-bit bitmap; an 8-bit grey bitmap is required</translation>
    </message>
    <message>
        <source>BitmapSizeInvalid</source>
        <translation>Size {width} x {height} for "{file}" is not valid</translation>
    </message>
    <message>
        <source>BitmapDepthInvalid</source>
        <translation>{bits} bits per pixel for "{file}" is not valid</translation>
    </message>
    <message>
        <source>BitmapPixelsMismatch</source>
        <translation>{bytes} pixel bytes for {width} x {height} at {bits} bits</translation>
    </message>
    <message>
        <source>BitmapPaletteTooLarge</source>
        <translation>A palette of {entries} entries</translation>
    </message>
    <message>
        <source>BitmapTooLarge</source>
        <translation>The picture "{file}" is too large for a bitmap file</translation>
    </message>
    <message>
        <source>DistortionTooFewPairs</source>
        <translation>The distortion polynomials have {needed} coefficients each: {needed} point pairs at least are needed, there are {pairs}</translation>
    </message>
    <message>
        <source>DistortionPairsUndetermined</source>
        <translation>The {pairs} point pairs do not determine the distortion polynomials (the points lie on a line or a conic, or repeat): spread them over the frame</translation>
    </message>
    <message>
        <source>DistortionFrameEmpty</source>
        <translation>The distortion coefficients [Distortion] in {file} cannot describe a lens ({changed}): the frame {width}×{height} is empty. Correct them or turn the correction off (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionSourceFar</source>
        <translation>The distortion coefficients [Distortion] in {file} cannot describe a lens ({changed}): pixel ({x}, {y}) of the frame {width}×{height} is taken from the point ({u}, {v}), more than a quarter of the frame beyond its edge. Correct them or turn the correction off (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionSourceInfinite</source>
        <translation>The distortion coefficients [Distortion] in {file} cannot describe a lens ({changed}): pixel ({x}, {y}) of the frame {width}×{height} is taken from infinity, more than a quarter of the frame beyond its edge. Correct them or turn the correction off (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionOrderHorizontal</source>
        <translation>The distortion coefficients [Distortion] in {file} cannot describe a lens ({changed}): pixels ({x1}, {y1}) and ({x2}, {y2}) of the frame {width}×{height} are taken from points with x {before} and {after}: the horizontal order is lost. Correct them or turn the correction off (correctDistortion=0).</translation>
    </message>
    <message>
        <source>DistortionOrderVertical</source>
        <translation>The distortion coefficients [Distortion] in {file} cannot describe a lens ({changed}): pixels ({x1}, {y1}) and ({x2}, {y2}) of the frame {width}×{height} are taken from points with y {before} and {after}: the vertical order is lost. Correct them or turn the correction off (correctDistortion=0).</translation>
    </message>
    <message>
        <source>FrameNumberStartInvalid</source>
        <translation>Frame numbers start at 1, not at {start}</translation>
    </message>
    <message>
        <source>FrameFormatRefused</source>
        <translation>The file is black and white or has a format that cannot be used.</translation>
    </message>
    <message>
        <source>FrameBytesMismatch</source>
        <translation>A frame of {bytes} bytes for {width}x{height}</translation>
    </message>
    <message>
        <source>FileNameWithoutTime</source>
        <translation>No observation time in the file name '{file}'</translation>
    </message>
    <message>
        <source>DirectoryNotCreated</source>
        <translation>Cannot create directory "{directory}": {reason}</translation>
    </message>
    <message>
        <source>WorkBitmapSizeWrong</source>
        <translation>The file {file} is {width}x{height}, {expectedWidth}x{expectedHeight} is expected.</translation>
    </message>
    <message>
        <source>EventFrameSizeDiffers</source>
        <translation>The frame {file} is {width}x{height}, the other frames of the event are {eventWidth}x{eventHeight}.</translation>
    </message>
    <message>
        <source>DarkFrameSizeDiffers</source>
        <translation>The dark frame {file} is {width}x{height}, the frames of the event are {eventWidth}x{eventHeight}: the dark frame is not subtracted.</translation>
    </message>
    <message>
        <source>StageReadingFrames</source>
        <translation>Reading the frames</translation>
    </message>
    <message>
        <source>StageRemovingDarkFrame</source>
        <translation>Removing the dark frame</translation>
    </message>
    <message>
        <source>StageLevellingBackground</source>
        <translation>Levelling the background</translation>
    </message>
    <message>
        <source>StageSummingFrames</source>
        <translation>Summing the frames</translation>
    </message>
    <message>
        <source>StageSavingMagnitudeFrame</source>
        <translation>Saving the frame for magnitudes</translation>
    </message>
    <message>
        <source>StageAutoContrast</source>
        <translation>Auto contrast</translation>
    </message>
    <message>
        <source>StageOverlayingMeteor</source>
        <translation>Overlaying the meteor on the frame</translation>
    </message>
    <message>
        <source>StageDoublingHeight</source>
        <translation>Doubling the height/deinterlacing</translation>
    </message>
    <message>
        <source>StageCorrectingDistortion</source>
        <translation>Correcting the distortion</translation>
    </message>
    <message>
        <source>WorkFieldCount</source>
        <translation>{file}, line {line}: {count} fields where the layout {layout} has {expected}</translation>
    </message>
    <message>
        <source>WorkFieldNotANumber</source>
        <translation>{file}, line {line}, field {field}: '{text}' is not a number</translation>
    </message>
    <message>
        <source>WorkFieldOutOfRange</source>
        <translation>{file}, line {line}, field {field}: '{text}' is out of range ({low} to {high})</translation>
    </message>
    <message>
        <source>WorkFieldNotWhole</source>
        <translation>{file}, line {line}, field {field}: '{text}' is not a whole number</translation>
    </message>
    <message>
        <source>WorkFieldAfterTrackTag</source>
        <translation>{file}, line {line}, field {field}: '{text}' follows the track's tag</translation>
    </message>
    <message>
        <source>WorkFieldNotCentreTag</source>
        <translation>{file}, line {line}, field {field}: '{text}' is not the centre line's tag CENTER</translation>
    </message>
    <message>
        <source>WorkFieldNotTrackTag</source>
        <translation>{file}, line {line}, field {field}: '{text}' is neither START nor FINISH</translation>
    </message>
    <message>
        <source>StarListMissingForCentre</source>
        <translation>The file {file} needed to find the frame centre is missing.</translation>
    </message>
    <message>
        <source>TooFewStarsInFile</source>
        <translation>The file {file} has too few reference stars.</translation>
    </message>
    <message>
        <source>PlateVerified</source>
        <translation>Binding check: {matched} of {detected} stars matched, {predicted} predicted in the frame, {chance} by chance, residual {residual} px, probability of chance 1E{log10Chance}.</translation>
    </message>
    <message>
        <source>StarBindingFailed</source>
        <translation>The stars were bound wrongly. Check the time of the event, artefacts on the photo and so on.</translation>
    </message>
    <message>
        <source>StarListMissingForBinding</source>
        <translation>The file {file} needed to bind the stars is missing.</translation>
    </message>
    <message>
        <source>EventFileNameInvalid</source>
        <translation>Invalid file name {file}.</translation>
    </message>
    <message>
        <source>TooFewReferenceStars</source>
        <translation>Too few reference stars.</translation>
    </message>
    <message>
        <source>ScanStepInvalid</source>
        <translation>Invalid scan step {step}.</translation>
    </message>
    <message>
        <source>StarCatalogMissing</source>
        <translation>The file {file} is missing. Nothing can be computed.</translation>
    </message>
    <message>
        <source>StarBitmapMissing</source>
        <translation>The file {file} needed to detect the reference stars is missing.</translation>
    </message>
    <message>
        <source>StarFillOutOfRange</source>
        <translation>Star fill: seed {seed}, width {width} or buffer sizes ({size}) out of range</translation>
    </message>
    <message>
        <source>SimPointingAmbiguous</source>
        <translation>Sky simulator: give the pointing either as (ra, dec) or as (azimuth, altitude)</translation>
    </message>
    <message>
        <source>SimFrameSizeInvalid</source>
        <translation>Sky simulator: the frame size {width}x{height} must be positive</translation>
    </message>
    <message>
        <source>SimFieldsTooShort</source>
        <translation>Sky simulator: fields need a picture of two rows or more</translation>
    </message>
    <message>
        <source>SimRateOrCountInvalid</source>
        <translation>Sky simulator: the frame rate {fps} and the frame count {frames} must be positive</translation>
    </message>
    <message>
        <source>SimOpticsInvalid</source>
        <translation>Sky simulator: focal length and frame scale must be positive</translation>
    </message>
    <message>
        <source>SimBlurOrNoiseInvalid</source>
        <translation>Sky simulator: the PSF width must be positive, the noise not negative</translation>
    </message>
    <message>
        <source>SimWeaveInvalid</source>
        <translation>Sky simulator: woven frames need full-height frames of two rows or more</translation>
    </message>
    <message>
        <source>SimNegativeEffect</source>
        <translation>Sky simulator: photon gain, twinkle and hot pixels must not be negative</translation>
    </message>
    <message>
        <source>SimJpegQualityInvalid</source>
        <translation>Sky simulator: the JPEG quality {quality} must be 1..100, or 0 for none</translation>
    </message>
    <message>
        <source>SimMeteorEndsMissing</source>
        <translation>Sky simulator: meteor {meteor} needs a start and an end</translation>
    </message>
    <message>
        <source>SimMeteorFramesOutside</source>
        <translation>Sky simulator: the frames of meteor {meteor} must lie inside the clip</translation>
    </message>
    <message>
        <source>SimMeteorPhaseInvalid</source>
        <translation>Sky simulator: meteor {meteor} must light up and go out within its first and last exposure</translation>
    </message>
    <message>
        <source>SimLightFramesOutside</source>
        <translation>Sky simulator: the frames of moving light {light} must lie inside the clip</translation>
    </message>
    <message>
        <source>SimLightBlinkInvalid</source>
        <translation>Sky simulator: blinking light {light} is on for 1 to blinkPeriod frames of every blinkPeriod</translation>
    </message>
    <message>
        <source>SimMeteorBehindCamera</source>
        <translation>Sky simulator: a point of the meteor is not in front of the camera</translation>
    </message>
    <message>
        <source>SimMeteorEndsAntipodal</source>
        <translation>Sky simulator: the meteor's ends are antipodal</translation>
    </message>
    <message>
        <source>SimJpegRoundTripFailed</source>
        <translation>Sky simulator: the JPEG round trip of a frame failed</translation>
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
    <message>
        <source>NotAnEventOfTheStation</source>
        <translation>The folder {folder} is not an event of a night of the station: open its night in photo mode.</translation>
    </message>
    <message>
        <source>NotAFloat</source>
        <translation>'{text}' is not a valid floating point value</translation>
    </message>
    <message>
        <source>CaptureFormatUnsupported</source>
        <translation>This video format is not supported.</translation>
    </message>
    <message>
        <source>SimRadiantAmbiguous</source>
        <translation>Network simulator: give the meteor's radiant either as azimuth and altitude or as right ascension and declination</translation>
    </message>
    <message>
        <source>SimFlightEndUnreached</source>
        <translation>Network simulator: the meteor never comes down to its end height</translation>
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
    <!-- the Cli context ends here -->
</context>
<context>
    <name>orbis::TCaptureFormatDialog</name>
    <message>
        <source>Параметры захвата</source>
        <translation>Capture format</translation>
    </message>
    <!-- the orbis::TCaptureFormatDialog context ends here -->
</context>
<context>
    <name>orbis::TEncoderSettingsDialog</name>
    <message>
        <source>по умолчанию: %1</source>
        <translation>default: %1</translation>
    </message>
    <!-- the orbis::TEncoderSettingsDialog context ends here -->
</context>
<context>
    <name>orbis::TMainWindow</name>
    <message>
        <source>Уточнение центра кадра</source>
        <translation>Refining the frame centre</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Камера</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Открыть фото</source>
        <translation>Open photo</translation>
    </message>
    <message>
        <source>Открыть видео</source>
        <translation>Open video</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Операции</source>
        <translation>Operations</translation>
    </message>
    <message>
        <source>Астрометрия</source>
        <translation>Astrometry</translation>
    </message>
    <message>
        <source>Фотометрия</source>
        <translation>Photometry</translation>
    </message>
    <message>
        <source>Сохранить отчёт</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Сводка за сутки</source>
        <translation>Daily summary</translation>
    </message>
    <message>
        <source>Экспорт данных UFO</source>
        <translation>UFO data export</translation>
    </message>
    <message>
        <source>Сводка за сутки (R90)</source>
        <translation>Daily summary (R90)</translation>
    </message>
    <message>
        <source>Сводка за месяц (R90)</source>
        <translation>Monthly summary (R90)</translation>
    </message>
    <message>
        <source>Настройка</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Захват видео</source>
        <translation>Video capture</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Сохранить файл</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>Orbisight - Видеозапись</source>
        <translation>Orbisight - Video recording</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Фото</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>Видео</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Orbisight %1
Станционная программа видеокамеры метеорного патруля.</source>
        <translation>Orbisight %1
Station program of a meteor patrol video camera.</translation>
    </message>
    <!-- the orbis::TMainWindow context ends here -->
</context>
<context>
    <name>orbis::TPhotoPage</name>
    <message>
        <source>Разметка трека</source>
        <translation>Mark track</translation>
    </message>
    <message>
        <source>Сохранить трек</source>
        <translation>Save track</translation>
    </message>
    <message>
        <source>Предложить трек</source>
        <translation>Propose track</translation>
    </message>
    <message>
        <source>Обработать ночь</source>
        <translation>Process night</translation>
    </message>
    <message>
        <source>Ночь в очереди</source>
        <translation>Night queued</translation>
    </message>
    <message>
        <source>Ночь будет обработана после текущей работы; нажмите ещё раз, чтобы отменить.</source>
        <translation>The night will be processed after the current work; press again to cancel.</translation>
    </message>
    <message>
        <source>Метеор 0(0), Кадр 0(0)</source>
        <translation>Meteor 0(0), Frame 0(0)</translation>
    </message>
    <message>
        <source>Обработка</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>Esc: выйти из разметки, не сохраняя трек</source>
        <translation>Esc: leave marking without saving the track</translation>
    </message>
    <message>
        <source>Начало метеора</source>
        <translation>Meteor start</translation>
    </message>
    <message>
        <source>Конец метеора</source>
        <translation>Meteor end</translation>
    </message>
    <message>
        <source>Макс. блеск:</source>
        <translation>Max. brightness:</translation>
    </message>
    <message>
        <source>Масштаб: %1</source>
        <translation>Zoom: %1</translation>
    </message>
    <message>
        <source>В ночи %1 нет событий с отмеченным треком.</source>
        <translation>The night %1 has no events with a marked track.</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Ночь %1: обработано событий %2 из %3 с треком, отчётов %4, без трека пропущено %5.</source>
        <translation>Night %1: %2 of %3 events with a track processed, %4 reports, %5 without a track skipped.</translation>
    </message>
    <message>
        <source> Остановлено.</source>
        <translation> Stopped.</translation>
    </message>
    <message>
        <source>Метеор %1(%2), Кадр %3(%4)</source>
        <translation>Meteor %1(%2), Frame %3(%4)</translation>
    </message>
    <message>
        <source>X = %1 Y = %2   Кадр: %3</source>
        <translation>X = %1 Y = %2   Frame: %3</translation>
    </message>
    <message>
        <source>Не отмечены начало и конец метеора.</source>
        <translation>Neither the start nor the end of the meteor is marked.</translation>
    </message>
    <message>
        <source>Не отмечено начало метеора.</source>
        <translation>The start of the meteor is not marked.</translation>
    </message>
    <message>
        <source>Не отмечен конец метеора.</source>
        <translation>The end of the meteor is not marked.</translation>
    </message>
    <message>
        <source>по следу</source>
        <translation>by the trail</translation>
    </message>
    <message>
        <source>по переднему краю</source>
        <translation>by the leading edge</translation>
    </message>
    <message>
        <source>по центру пятна</source>
        <translation>by the spot centre</translation>
    </message>
    <message>
        <source>по движению</source>
        <translation>by the motion</translation>
    </message>
    <message>
        <source>Трек предложен: начало — %1, конец — %2</source>
        <translation>Track proposed: start %1, end %2</translation>
    </message>
    <message>
        <source>У события уже есть сохранённый трек. Заменить отметки предложенным треком?</source>
        <translation>The event already has a saved track. Replace its marks with the proposed track?</translation>
    </message>
    <message>
        <source>Метеор не найден.</source>
        <translation>No meteor found.</translation>
    </message>
    <!-- the orbis::TPhotoPage context ends here -->
</context>
<context>
    <name>orbis::TRecordPage</name>
    <message>
        <source>Устройство видеозахвата</source>
        <translation>Video capture device</translation>
    </message>
    <message>
        <source>Яркость</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>Контрастность</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>Насыщенность</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Гамма</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Цветность</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Вход видео</source>
        <translation>Video input</translation>
    </message>
    <message>
        <source>Тюнер</source>
        <translation>Tuner</translation>
    </message>
    <message>
        <source>Композитный</source>
        <translation>Composite</translation>
    </message>
    <message>
        <source>АвтоВыдержка</source>
        <translation>Auto exposure</translation>
    </message>
    <message>
        <source>Выдержка:</source>
        <translation>Exposure:</translation>
    </message>
    <message>
        <source>Параметры видео</source>
        <translation>Video settings</translation>
    </message>
    <message>
        <source>Параметры захвата</source>
        <translation>Capture format</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>Просмотр без записи</source>
        <translation>Preview without recording</translation>
    </message>
    <message>
        <source>Детектирование метеоров</source>
        <translation>Meteor detection</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Остановка записи…</source>
        <translation>Stopping the recording…</translation>
    </message>
    <message>
        <source>Нет источника видео</source>
        <translation>No video source</translation>
    </message>
    <!-- the orbis::TRecordPage context ends here -->
</context>
<context>
    <name>orbis::TVideoPage</name>
    <message>
        <source>Пуск</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Удалить ролик</source>
        <translation>Delete clip</translation>
    </message>
    <message>
        <source>Номер начального кадра</source>
        <translation>First frame number</translation>
    </message>
    <message>
        <source>Взять в работу</source>
        <translation>Take into work</translation>
    </message>
    <message>
        <source>Разметить трек</source>
        <translation>Mark track</translation>
    </message>
    <message>
        <source>Открыть взятое в работу событие в режиме фото</source>
        <translation>Open the event taken into work in photo mode</translation>
    </message>
    <message>
        <source>Выбор каталога</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Удалить файл %1?</source>
        <translation>Delete the file %1?</translation>
    </message>
    <message>
        <source>Файл %1 удалён.</source>
        <translation>The file %1 has been deleted.</translation>
    </message>
    <message>
        <source>Номер начального кадра должен быть не меньше 1: %1</source>
        <translation>The first frame number must be at least 1: %1</translation>
    </message>
    <message>
        <source>Добавить файлы в каталог...</source>
        <translation>Add the files to the folder...</translation>
    </message>
    <message>
        <source>Ролик декодирован в %1 кадров, а его заголовок объявляет %2. Проверьте кадры в %3.</source>
        <translation>The clip decoded into %1 frames, but its header declares %2. Check the frames in %3.</translation>
    </message>
    <message>
        <source>%1 из %2 кадров ролика повреждены или обрезаны и не сохранены; остальные сохранены в %3.</source>
        <translation>%1 of the clip's %2 frames are damaged or cut short and were not saved; the others are saved in %3.</translation>
    </message>
    <message>
        <source>Сохранено кадров: %1 в %2</source>
        <translation>Frames saved: %1 in %2</translation>
    </message>
    <!-- the orbis::TVideoPage context ends here -->
</context>
<context>
    <name>orbis::TfrmCompressCodec</name>
    <message>
        <source>Кодеки видеокомпрессии</source>
        <translation>Video compression codecs</translation>
    </message>
    <message>
        <source>Настройка</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Вызов страницы свойств невозможен!</source>
        <translation>The property page cannot be opened!</translation>
    </message>
    <message>
        <source>Кодек не принял настройки: %1</source>
        <translation>The codec did not accept the settings: %1</translation>
    </message>
    <!-- the orbis::TfrmCompressCodec context ends here -->
</context>
<context>
    <name>orbis::TfrmConfiguration</name>
    <message>
        <source>«%1» не является целым числом.</source>
        <translation>“%1” is not a whole number.</translation>
    </message>
    <message>
        <source>«%1» не является числом.</source>
        <translation>“%1” is not a number.</translation>
    </message>
    <message>
        <source> (больше %1 до %2)</source>
        <translation> (above %1 up to %2)</translation>
    </message>
    <message>
        <source> (от %1 до %2)</source>
        <translation> (from %1 to %2)</translation>
    </message>
    <message>
        <source> Конфигурация</source>
        <translation> Configuration</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Открыть файл пар точек</source>
        <translation>Open a file of point pairs</translation>
    </message>
    <message>
        <source>Настройки не прочитаны, показаны значения по умолчанию: %1</source>
        <translation>The settings were not read; the defaults are shown: %1</translation>
    </message>
    <message>
        <source>Широта</source>
        <translation>Latitude</translation>
    </message>
    <message>
        <source>Северное</source>
        <translation>Northern</translation>
    </message>
    <message>
        <source>Южное</source>
        <translation>Southern</translation>
    </message>
    <message>
        <source>полушарие</source>
        <translation>hemisphere</translation>
    </message>
    <message>
        <source>Долгота</source>
        <translation>Longitude</translation>
    </message>
    <message>
        <source>Восточное</source>
        <translation>Eastern</translation>
    </message>
    <message>
        <source>Западное</source>
        <translation>Western</translation>
    </message>
    <message>
        <source>Высота</source>
        <translation>Altitude</translation>
    </message>
    <message>
        <source>метров</source>
        <translation>metres</translation>
    </message>
    <message>
        <source>Часовой пояс </source>
        <translation>Time zone </translation>
    </message>
    <message>
        <source>Путь к каталогам </source>
        <translation>Catalog folder </translation>
    </message>
    <message>
        <source>Каталог радиантов </source>
        <translation>Radiant catalog </translation>
    </message>
    <message>
        <source>Звёздный каталог</source>
        <translation>Star catalog</translation>
    </message>
    <message>
        <source>Наблюдатель </source>
        <translation>Observer </translation>
    </message>
    <message>
        <source>Обсерватория</source>
        <translation>Observatory</translation>
    </message>
    <message>
        <source>Название камеры </source>
        <translation>Camera name </translation>
    </message>
    <message>
        <source>Размеры ПЗС</source>
        <translation>CCD size</translation>
    </message>
    <message>
        <source>Ширина, пикс</source>
        <translation>Width, px</translation>
    </message>
    <message>
        <source>Высота, пикс</source>
        <translation>Height, px</translation>
    </message>
    <message>
        <source>Фокусное расстояние, мм </source>
        <translation>Focal length, mm </translation>
    </message>
    <message>
        <source>Экспозиция кадра, сек </source>
        <translation>Frame exposure, s </translation>
    </message>
    <message>
        <source>Масштаб </source>
        <translation>Scale </translation>
    </message>
    <message>
        <source>Максимальный уровень шума </source>
        <translation>Maximum noise level </translation>
    </message>
    <message>
        <source>Темновой кадр </source>
        <translation>Dark frame </translation>
    </message>
    <message>
        <source>Кадр-маска </source>
        <translation>Mask frame </translation>
    </message>
    <message>
        <source>Камера</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Количество кадров в буфере</source>
        <translation>Frames in the buffer</translation>
    </message>
    <message>
        <source>Количество кадров после события</source>
        <translation>Frames after the event</translation>
    </message>
    <message>
        <source>Кол-во сигн. кадров</source>
        <translation>Signal frames</translation>
    </message>
    <message>
        <source>Порог шума, в пикс.</source>
        <translation>Noise threshold, px</translation>
    </message>
    <message>
        <source>Достоверность, в пикс.</source>
        <translation>Confidence, px</translation>
    </message>
    <message>
        <source> Дополнительные операции </source>
        <translation> Additional operations </translation>
    </message>
    <message>
        <source>Учитывать маску</source>
        <translation>Apply the mask</translation>
    </message>
    <message>
        <source>Учитывать темновой кадр</source>
        <translation>Apply the dark frame</translation>
    </message>
    <message>
        <source> Режим обычной записи </source>
        <translation> Plain recording mode </translation>
    </message>
    <message>
        <source>Предварительный просмотр (реком. откл. при сжатии)</source>
        <translation>Preview (best off when compressing)</translation>
    </message>
    <message>
        <source>Метка времени</source>
        <translation>Time stamp</translation>
    </message>
    <message>
        <source>Шрифт, pt</source>
        <translation>Font, pt</translation>
    </message>
    <message>
        <source>Кодек видеокомпрессии</source>
        <translation>Video compression codec</translation>
    </message>
    <message>
        <source>Выбрать</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>Вести файл событий</source>
        <translation>Keep an event log</translation>
    </message>
    <message>
        <source>Выключать компьютер при уровне</source>
        <translation>Power off at sky level</translation>
    </message>
    <message>
        <source>Ночь, когда Солнце ниже, °</source>
        <translation>Night when the Sun is below, °</translation>
    </message>
    <message>
        <source>Высота Солнца ночью, °</source>
        <translation>Sun altitude at night, °</translation>
    </message>
    <message>
        <source>Свободно на диске не менее, МБ</source>
        <translation>Free disk space at least, MB</translation>
    </message>
    <message>
        <source>Свободное место на диске, МБ</source>
        <translation>Free disk space, MB</translation>
    </message>
    <message>
        <source>Детектирование</source>
        <translation>Detection</translation>
    </message>
    <message>
        <source> Операции </source>
        <translation> Operations </translation>
    </message>
    <message>
        <source>Удалить темновой кадр</source>
        <translation>Subtract the dark frame</translation>
    </message>
    <message>
        <source>Удалить градиент</source>
        <translation>Remove the gradient</translation>
    </message>
    <message>
        <source>Автоконтраст кадра</source>
        <translation>Frame auto contrast</translation>
    </message>
    <message>
        <source>Удвоение высоты кадра</source>
        <translation>Double the frame height</translation>
    </message>
    <message>
        <source>Коррекция дисторсии</source>
        <translation>Correct distortion</translation>
    </message>
    <message>
        <source>Привязка центра кадра</source>
        <translation>Bind the frame centre</translation>
    </message>
    <message>
        <source>Добавить блеск звёзд</source>
        <translation>Add star magnitudes</translation>
    </message>
    <message>
        <source>Добавить спектральный класс</source>
        <translation>Add spectral classes</translation>
    </message>
    <message>
        <source>Создание отчёта</source>
        <translation>Create a report</translation>
    </message>
    <message>
        <source>Удаление временных файлов</source>
        <translation>Delete temporary files</translation>
    </message>
    <message>
        <source> Привязка координат </source>
        <translation> Coordinate binding </translation>
    </message>
    <message>
        <source>Допустимая погрешнось </source>
        <translation>Tolerance </translation>
    </message>
    <message>
        <source>Кол-во тестовых звёзд </source>
        <translation>Test stars </translation>
    </message>
    <message>
        <source>Игнор. стороны менее, пикс </source>
        <translation>Ignore sides below, px </translation>
    </message>
    <message>
        <source>Коэф. контрастности  </source>
        <translation>Contrast factor  </translation>
    </message>
    <message>
        <source>Шаг между кадрами, град </source>
        <translation>Step between frames, deg </translation>
    </message>
    <message>
        <source>RA min, гр </source>
        <translation>RA min, deg </translation>
    </message>
    <message>
        <source>RA max, гр</source>
        <translation>RA max, deg</translation>
    </message>
    <message>
        <source>DEC min, гр </source>
        <translation>DEC min, deg </translation>
    </message>
    <message>
        <source>DEC max, гр</source>
        <translation>DEC max, deg</translation>
    </message>
    <message>
        <source>Обработка</source>
        <translation>Processing</translation>
    </message>
    <message>
        <source>Ввод координат</source>
        <translation>Enter coordinates</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Загрузить из файла</source>
        <translation>Load from file</translation>
    </message>
    <message>
        <source>Увеличить ширину кадра, пикс </source>
        <translation>Widen the frame by, px </translation>
    </message>
    <message>
        <source>Увеличить высоту кадра, пикс </source>
        <translation>Heighten the frame by, px </translation>
    </message>
    <message>
        <source>Дисторсия</source>
        <translation>Distortion</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Настройки не сохранены: %1</source>
        <translation>The settings were not saved: %1</translation>
    </message>
    <message>
        <source> N </source>
        <translation> N </translation>
    </message>
    <message>
        <source>Коэффициенты по Х</source>
        <translation>X coefficients</translation>
    </message>
    <message>
        <source>Коэффициенты по Y</source>
        <translation>Y coefficients</translation>
    </message>
    <message>
        <source> X ист. </source>
        <translation> X true </translation>
    </message>
    <message>
        <source> Y ист. </source>
        <translation> Y true </translation>
    </message>
    <message>
        <source> X дист. </source>
        <translation> X dist. </translation>
    </message>
    <message>
        <source> Y дист. </source>
        <translation> Y dist. </translation>
    </message>
    <message>
        <source>Расчёт</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>Ошибка в исходных данных! Проверьте данные.</source>
        <translation>The input data are wrong! Check them.</translation>
    </message>
    <message>
        <source>Файл пар точек не прочитан: %1</source>
        <translation>The file of point pairs was not read: %1</translation>
    </message>
    <!-- the orbis::TfrmConfiguration context ends here -->
</context>
<context>
    <name>DiagnosticCaption</name>
    <message>
        <source>FrameFormatRefused</source>
        <translation>Orbisight 2.0</translation>
    </message>
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
    <!-- the DiagnosticCaption context ends here -->
</context>
</TS>
