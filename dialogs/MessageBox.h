// The program's message boxes: the program's name as the title, wide enough that the window
// manager never shortens it, the icon saying what kind of message it is, and the reason below the
// message when there is one.
#pragma once

#include <QMessageBox>
#include <QString>

enum class EnumMessageKind {
    Notice,   // something worked or is so: the information icon
    Problem,  // an error or a warning: the warning icon
    Question, // Yes or No
};

#include <QStringList>

// Shows the box and returns the button that closed it.
// raw: the reason as the system worded it, in the box's tooltip where it differs from detail.
QMessageBox::StandardButton g_ShowMessage(QWidget* parent, EnumMessageKind kind, const QString& text,
                                          const QString& detail = {}, const QString& raw = {});
// A problem with a choice of our own buttons; the index of the one clicked (-1: the box was
// closed otherwise).
int g_AskChoice(QWidget* parent, const QString& text, const QString& detail, const QStringList& buttons);
