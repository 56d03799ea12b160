#pragma once

#include <QDialog>

namespace r512 {

// The About box: the program's icon, name and version, and where its maker is found.
class AboutDialog final : public QDialog {
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace r512
