#pragma once
// An art export on a thread of its own, so that the window stays responsive
// through a long GIF: the bytes of palfade-cli art, then the atomic save.

#include "exports/art_export.h"

#include <QObject>
#include <QString>

class QThread;

namespace palfade {

class ArtExportJob : public QObject {
    Q_OBJECT

public:
    // `request.progress` is the job's own. Nothing runs before Start.
    ArtExportJob(ArtRequest request, const QString& target, QObject* parent = nullptr);
    // Stops the export and waits for its thread.
    ~ArtExportJob() override;

    void Start();
    // The export ends before its next frame and nothing is written.
    void Stop();
    bool IsRunning() const;
    int FramesDone() const { return progress_.done; }
    int FramesInAll() const { return progress_.total; }

signals:
    // Once, in the thread that made the job: `error` is empty when the file
    // was written or the job was stopped.
    void finished(bool written, const QString& error);

private:
    void Run();

    ArtRequest request_;
    QString target_;
    ArtProgress progress_;
    QThread* thread_ = nullptr;
    bool written_ = false;
    QString error_;
};

} // namespace palfade
