#include "ui/art_export_job.h"

#include "io/file_access.h"

#include <QThread>

namespace palfade {

ArtExportJob::ArtExportJob(ArtRequest request, const QString& target, QObject* parent)
    : QObject(parent), request_(std::move(request)), target_(target)
{
    request_.progress = &progress_;
    thread_ = QThread::create([this] { Run(); });
    // Emitted by the worker as it ends; the signal reaches the job's own thread.
    connect(thread_, &QThread::finished, this, [this] { emit finished(written_, error_); });
}

ArtExportJob::~ArtExportJob()
{
    Stop();
    thread_->wait();
    delete thread_;
}

void ArtExportJob::Start()
{
    thread_->start();
}

void ArtExportJob::Stop()
{
    progress_.cancelled = true;
}

bool ArtExportJob::IsRunning() const
{
    return thread_->isRunning();
}

void ArtExportJob::Run()
{
    const IoResult<ArtBytes> art = ExportArt(request_);
    // A stop asked for after the last frame still leaves no file.
    if (progress_.cancelled)
        return;
    if (!art.ok()) {
        error_ = art.error;
        return;
    }
    const IoStatus saved = WriteFileAtomically(target_, art.value.bytes);
    written_ = saved.ok();
    error_ = saved.error;
}

} // namespace palfade
