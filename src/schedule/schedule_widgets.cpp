#include "schedule/schedule_widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

QFont fixedPitchFont(int pointSize) {
    QFont f("Courier New", pointSize);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* plainLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    return l;
}

void keepPlaceWhenHidden(QWidget* control) {
    QSizePolicy policy = control->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    control->setSizePolicy(policy);
}

void raiseErrorWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmError" && w->isVisible())
            w->raise();
}
