#pragma once

#include <QWidget>

namespace ui {

// The cover of the main window: a drawing of a viaduct over a valley with the title of the list,
// painted to fill the client area at any size.
class CoverPicture : public QWidget
{
    Q_OBJECT

public:
    explicit CoverPicture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ui
