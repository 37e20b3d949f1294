#pragma once
#include <QObject>

// The container and both methods, through the in-memory interface.
class TestLzrw1Format : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyInput();
    void handWorkedContainers_data();
    void handWorkedContainers();
    void chunkBoundaries();
    void sameBlocksAsPlainCoder();
    void incompressibleDataIsStored();
    void knownLzhufStreams_data();
    void knownLzhufStreams();
    void roundTrips_data();
    void roundTrips();
    void fullChunkFromItemsIsAccepted();
    void refusesBadInput_data();
    void refusesBadInput();
    void damagedContainersNeverCrash();
    void advise();
};
