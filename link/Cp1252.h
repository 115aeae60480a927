#pragma once

#include <QByteArrayView>
#include <QString>

namespace robot {

// Text from the robot is in the Western European Windows code page.
QString fromCp1252(QByteArrayView bytes);

} // namespace robot
