#include "platform/FrameSource.h"

#include "platform/GstSource.h"
#include "platform/TestPattern.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FrameSource)
};

const QString testName = QStringLiteral("test");
const QString sizedTestPrefix = QStringLiteral("test:");

bool asksForTestPattern(const QString& trimmed) {
    return trimmed.compare(testName, Qt::CaseInsensitive) == 0 ||
           trimmed.startsWith(sizedTestPrefix, Qt::CaseInsensitive);
}

int evenAtLeastSmallest(double side) {
    return std::max(smallestSide, static_cast<int>(std::floor(side / 2)) * 2);
}

} // namespace

bool withinPictureBounds(int width, int height) {
    return width % 2 == 0 && height % 2 == 0 && width >= smallestSide && height >= smallestSide &&
           width <= largestWidth && height <= largestHeight;
}

cv::Size ownSizeWithinBounds(cv::Size source) {
    if (source.width <= 0 || source.height <= 0)
        return {};
    const double scale =
        std::min({1.0, double(largestWidth) / source.width, double(largestHeight) / source.height});
    return {std::min(largestWidth, evenAtLeastSmallest(source.width * scale)),
            std::min(largestHeight, evenAtLeastSmallest(source.height * scale))};
}

namespace {

struct TestPatternRequest {
    cv::Size size;
    int rate = TestPattern::rate;
};

std::optional<TestPatternRequest> readTestPattern(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(testName, Qt::CaseInsensitive) == 0)
        return TestPatternRequest{cv::Size(TestPattern::width, TestPattern::height)};
    if (!trimmed.startsWith(sizedTestPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    static const QRegularExpression size(
        QStringLiteral("^([0-9]{1,4})[xX]([0-9]{1,4})(?:@([0-9]{1,3}))?$"));
    const QRegularExpressionMatch match = size.match(trimmed.mid(sizedTestPrefix.size()));
    if (!match.hasMatch())
        return std::nullopt;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    const int rate = match.hasCaptured(3) ? match.captured(3).toInt() : TestPattern::rate;
    if (!withinPictureBounds(width, height) || rate < 1 || rate > TestPattern::fastestRate)
        return std::nullopt;
    return TestPatternRequest{cv::Size(width, height), rate};
}

} // namespace

std::optional<cv::Size> testPatternSize(const QString& text) {
    const auto request = readTestPattern(text);
    return request ? std::optional(request->size) : std::nullopt;
}

int testPatternRate(const QString& text) {
    return readTestPattern(text).value_or(TestPatternRequest{}).rate;
}

QString captureSourceProblem(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!asksForTestPattern(trimmed) || testPatternSize(trimmed))
        return {};
    return Texts::tr("La imagen de prueba \"%1\" no se puede usar: el tamaño se escribe "
                     "test:ANCHOxALTO, con lados pares de %2 a %3 por %2 a %4, y si se "
                     "quiere @IMÁGENES por segundo, de 1 a %5.")
        .arg(trimmed)
        .arg(smallestSide)
        .arg(largestWidth)
        .arg(largestHeight)
        .arg(TestPattern::fastestRate);
}

CaptureSource parseCaptureSource(const QString& text) {
    const QString trimmed = text.trimmed();
    if (asksForTestPattern(trimmed)) {
        const cv::Size size =
            testPatternSize(trimmed).value_or(cv::Size(TestPattern::width, TestPattern::height));
        const int rate = testPatternRate(trimmed);
        if (size == cv::Size(TestPattern::width, TestPattern::height) && rate == TestPattern::rate)
            return {CaptureSource::Kind::TestPattern, QString(), Texts::tr("Imagen de prueba"), {}};
        QString sizeText =
            QString::number(size.width) + QLatin1Char('x') + QString::number(size.height);
        if (rate != TestPattern::rate)
            sizeText += QLatin1Char('@') + QString::number(rate);
        return {CaptureSource::Kind::TestPattern,
                sizeText,
                Texts::tr("Imagen de prueba %1").arg(sizeText),
                {}};
    }
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
    if (source.kind != CaptureSource::Kind::TestPattern)
        return source.address;
    return source.address.isEmpty() ? testName : sizedTestPrefix + source.address;
}

VideoFormat startFormat(PictureSize size) {
    if (size == PictureSize::Own)
        return {largestWidth, largestHeight, VideoFormat{}.rate};
    return {};
}

std::unique_ptr<FrameSource> makeFrameSource(const CaptureSource& source, VideoFormat requested,
                                             PictureSize size) {
    if (source.kind == CaptureSource::Kind::TestPattern) {
        const cv::Size pattern = testPatternSize(captureSourceText(source))
                                     .value_or(cv::Size(TestPattern::width, TestPattern::height));
        return std::make_unique<TestPattern>(pattern, testPatternRate(captureSourceText(source)));
    }
    return std::make_unique<GstSource>(source, requested, size);
}

} // namespace platform
