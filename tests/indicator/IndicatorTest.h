#pragma once

#include <QByteArray>
#include <QObject>

/** The indicator subsystem: frame rule, serial line, models and their window, the station's reader. */
class IndicatorTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // tst_framerule.cpp
    void frameRule_data();
    void frameRule();
    void frameRuleHistoryAdvancesOnFailure();
    void weightField_data();
    void weightField();

    // tst_serialline.cpp
    void lineChunksAtSilencesAndSize();
    void lineSendsAndCloses();
    void lineStopsWhenDeviceGoesAway();
    void lineOpenFailures_data();
    void lineOpenFailures();

    // tst_models.cpp
    void stationLineSettings_data();
    void stationLineSettings();
    void consoleKeepsUnknownSettings();
    void windowShowsSelectedModel();
    void windowNewModelPrepares();
    void windowSavesExactlyOneSelected();
    void windowChoosesModel();
    void windowWithEmptyTable();
    void windowClosesItsLine();

    // tst_reader.cpp
    void readerOpensSelectedModel();
    void blackBox_data();
    void blackBox();
    void blackBoxRetriesFailedInsert();
    void tonnes();
    void stableLamp();
    void silentIndicatorIsNoReading();
    void badInputKeepsLiveWeight();
    void missingModelIsToldOnce();

    // tst_console.cpp
    void consoleTextFunctions_data();
    void consoleTextFunctions();
    void controlCharactersShownAndBack();
    void lineOdometer();
    void frameAnalysis_data();
    void frameAnalysis();
    void frameAnalysisRefusesNoise();
    void consoleAutoClean_data();
    void consoleAutoClean();
    void consoleDisplayAndTestMode();
    void consoleCountsAndSends();
    void consolePortErrors();
    void consoleParamSearch();
    void consoleDataSearch();
    void consoleDataSearchWithoutStartChar();
    void consoleSavesText();
    void consoleSendPanelAndAreas();
    void consoleFindsTheSimulatedIndicator();
};

/** A frame of the common continuous format: STX, sign, six digits, decimal position, two checks, ETX. */
QByteArray stxFrame(int weight);
