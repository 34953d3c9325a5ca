#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Small pieces the schedule windows share.

// Courier New, the station's fixed-pitch face for lists that line up columns.
QFont fixedPitchFont(int pointSize);

// Controls carry the station's names as their object names.
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption);
// Labels may show schedule names: always plain text, never markup.
QLabel* plainLabel(QWidget* parent, const QString& name, const QString& text = {});

// A control that a mode hides keeps its place, so nothing else moves under
// the pointer and the window keeps its size.
void keepPlaceWhenHidden(QWidget* control);

// Brings the shared error window back in front when it is showing, as the
// station's windows do when they become active.
void raiseErrorWindow();
