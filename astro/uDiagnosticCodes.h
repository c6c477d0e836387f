#pragma once
// Every problem, notice and stage the libraries report, by name. The front
// ends' catalogues (i18n/orbisight_*.ts, context "Diagnostic") give each its
// words in every language; the catalogue test checks none is missing.
// One code per line, so lists grown on two branches join by union.

#define ORBIS_DIAGNOSTIC_CODES(X) \
    X(Unworded)                   \
    X(EventMeasurementDamaged)    \
    X(EventMeasurementNotWritten) \
    X(NightFrameFileLeftOut)      \
    X(TrackHeadsDamaged)          \
    /* the list ends here */
