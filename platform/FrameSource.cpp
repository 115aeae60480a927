#include "platform/FrameSource.h"

#include "platform/GstSource.h"
#include "platform/TestPattern.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace platform {

CaptureSource parseCaptureSource(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QStringLiteral("test"), Qt::CaseInsensitive) == 0)
        return {
            CaptureSource::Kind::TestPattern, QString(), QStringLiteral("Imagen de prueba"), {}};
    bool isNumber = false;
    const int number = trimmed.toInt(&isNumber);
    if (isNumber && number >= 0) {
        const QString device = QStringLiteral("/dev/video") + QString::number(number);
        return {CaptureSource::Kind::Camera, device, device, {}};
    }
    if (trimmed.startsWith(QStringLiteral("/dev/")))
        return {CaptureSource::Kind::Camera, trimmed, trimmed, {}};
    if (trimmed.contains(QRegularExpression(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"))))
        return {CaptureSource::Kind::Stream, trimmed, trimmed, {}};
    return {CaptureSource::Kind::File, trimmed, QFileInfo(trimmed).fileName(), {}};
}

QString captureSourceText(const CaptureSource& source) {
    return source.kind == CaptureSource::Kind::TestPattern ? QStringLiteral("test")
                                                           : source.address;
}

std::unique_ptr<FrameSource> makeFrameSource(const CaptureSource& source, VideoFormat requested) {
    if (source.kind == CaptureSource::Kind::TestPattern)
        return std::make_unique<TestPattern>();
    return std::make_unique<GstSource>(source, requested);
}

} // namespace platform
