#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace ui {

// Every warning of the program goes through here: exclamation icon, one OK button.
// Tests switch on recording, so that no box blocks and each warning can be read back.
class MessageBox
{
public:
    struct Shown
    {
        QString title;
        QString text;
    };

    static void warning(QWidget* parent, const QString& text, const QString& title = defaultTitle());
    static QString defaultTitle() { return QStringLiteral("Prezziario"); }

    static void setRecording(bool recording);
    static bool isRecording();
    static const QList<Shown>& recorded();
    static void clearRecorded();
};

} // namespace ui
