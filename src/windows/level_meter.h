#pragma once

#include <QWidget>

// A peak meter bar (0..32767) or, with the scale style, the dB marks drawn
// beside a pair of meters.
class LevelMeter : public QWidget {
public:
    enum class Style { Bar, Scale };
    explicit LevelMeter(const QString& name, Style style = Style::Bar, QWidget* parent = nullptr);

    void setLevel(int peak);
    int level() const { return level_; }

protected:
    void paintEvent(QPaintEvent*) override;
    QSize sizeHint() const override;

private:
    Style style_;
    int level_ = 0;
};
