#pragma once

#include <QIcon>
#include <QPixmap>

#include <cmath>

// An image of the resources at a size in device-independent pixels, for a
// screen of the given pixel ratio: drawn from its "@2x" version where the
// screen needs more pixels than the 1x one has, and scaled smoothly to the
// screen's own pixels (at 150 % from the 2x one down).
inline QPixmap sharpPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio)
{
    const QPixmap source = QIcon(resource).pixmap(size, std::ceil(devicePixelRatio));
    QPixmap pixmap = source.scaled((QSizeF(size) * devicePixelRatio).toSize(),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}
