#pragma once
#include <QObject>
#include <QTemporaryDir>

// Tlzrw1 between files, and the vexlo-lzrw1 tool.
class TestLzrw1Files : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void compressAndDecompress();
    void autoModeFollowsAdvise();
    void failuresLeaveNoOutput_data();
    void failuresLeaveNoOutput();
    void missingOrUnwritableFiles();
    void outputIsInput();
    void writeFailure();
    void toolRoundTrip();
    void toolFailures();
    void toolCommandLine();

private:
    QString path(const char *name) const;
    QTemporaryDir m_dir;
};
