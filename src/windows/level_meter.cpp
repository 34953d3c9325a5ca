#include "windows/level_meter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// The bar spans -60 dB .. 0 dB of full scale, as an operator reads levels.
constexpr double FloorDb = -60.0;

double fraction(int peak) {
    if (peak <= 0)
        return 0.0;
    const double db = 20.0 * std::log10(std::min(peak, 32767) / 32767.0);
    return std::clamp((db - FloorDb) / -FloorDb, 0.0, 1.0);
}
} // namespace

LevelMeter::LevelMeter(const QString& name, Style style, QWidget* parent)
    : QWidget(parent), style_(style) {
    setObjectName(name);
    setMinimumSize(style == Style::Bar ? QSize(10, 80) : QSize(26, 80));
}

QSize LevelMeter::sizeHint() const {
    return style_ == Style::Bar ? QSize(12, 120) : QSize(28, 120);
}

void LevelMeter::setLevel(int peak) {
    const int clamped = std::clamp(peak, 0, 32767);
    if (clamped == level_)
        return;
    level_ = clamped;
    update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Both styles leave room for the scale's end labels, so marks and bars line up.
    const QRect r = rect().adjusted(0, 6, -1, -7);
    if (style_ == Style::Scale) {
        p.setPen(palette().color(QPalette::WindowText));
        QFont f = font();
        f.setPointSize(6);
        p.setFont(f);
        for (int db = 0; db >= int(FloorDb); db -= 10) {
            const int y = r.top() + int((db / FloorDb) * r.height());
            p.drawLine(r.left(), y, r.left() + 4, y);
            p.drawText(QRect(r.left() + 5, y - 6, r.width() - 5, 12),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::number(db));
        }
        return;
    }
    p.fillRect(r, Qt::black);
    const int h = int(fraction(level_) * r.height());
    QLinearGradient g(r.bottomLeft(), r.topLeft());
    g.setColorAt(0.0, QColor(0, 160, 0));
    g.setColorAt(0.8, QColor(220, 220, 0));
    g.setColorAt(1.0, QColor(220, 0, 0));
    p.fillRect(QRect(r.left(), r.bottom() - h, r.width(), h), g);
    p.setPen(Qt::darkGray);
    p.drawRect(r);
}
