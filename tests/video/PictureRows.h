#pragma once

#include <QImage>

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

// Packed bottom-row-first rows of an upright picture, as the capture delivers them.
inline std::vector<std::uint8_t> deliveredRows(const cv::Mat& upright) {
    std::vector<std::uint8_t> rows;
    for (int y = upright.rows - 1; y >= 0; --y)
        rows.insert(rows.end(), upright.ptr(y), upright.ptr(y) + upright.cols * 3);
    return rows;
}

inline QImage uprightImage(const cv::Mat& picture) {
    return QImage(picture.data, picture.cols, picture.rows, int(picture.step),
                  QImage::Format_BGR888)
        .copy();
}
