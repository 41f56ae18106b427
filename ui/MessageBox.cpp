#include "ui/MessageBox.h"

#include <QMessageBox>

namespace ui {

namespace {
bool g_recording = false;
QList<MessageBox::Shown> g_recorded;
} // namespace

void MessageBox::warning(QWidget* parent, const QString& text, const QString& title)
{
    if (g_recording) {
        g_recorded.append({title, text});
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::setRecording(bool recording)
{
    g_recording = recording;
}

bool MessageBox::isRecording()
{
    return g_recording;
}

const QList<MessageBox::Shown>& MessageBox::recorded()
{
    return g_recorded;
}

void MessageBox::clearRecorded()
{
    g_recorded.clear();
}

} // namespace ui
