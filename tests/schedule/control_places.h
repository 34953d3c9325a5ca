#pragma once

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QWidget>

// The window's size and where each control sits in it, once the layouts have
// settled: tests compare these across a change that must move nothing.
inline QStringList controlPlaces(QWidget* window, const QList<QWidget*>& controls) {
    QApplication::processEvents(); // layouts settle on posted events
    QStringList places{QString("window %1x%2").arg(window->width()).arg(window->height())};
    for (const QWidget* c : controls) {
        const QPoint at = c->mapTo(window, QPoint());
        places << QString("%1 %2,%3 %4x%5")
                      .arg(c->objectName())
                      .arg(at.x())
                      .arg(at.y())
                      .arg(c->width())
                      .arg(c->height());
    }
    return places;
}
