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
        <source>NotAnEventOfTheStation</source>
        <translation>The folder {folder} is not an event of a night of the station: open its night in photo mode.</translation>
        <source>NotAFloat</source>
        <translation>'{text}' is not a valid floating point value</translation>
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
    <!-- the Cli context ends here -->
</context>
<context>
    <name>orbis::TCaptureFormatDialog</name>
    <message>
        <source>Параметры захвата</source>
        <translation>Capture format</translation>
    </message>
</context>
<context>
    <name>orbis::TEncoderSettingsDialog</name>
    <message>
        <source>по умолчанию: %1</source>
        <translation>default: %1</translation>
    </message>
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
