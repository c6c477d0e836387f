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
