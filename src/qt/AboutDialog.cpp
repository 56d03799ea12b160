#include "qt/AboutDialog.h"

#include <QPushButton>

#include "qt/QtDialogUnits.h"
#include "qt/TemplateControls.h"
#include "ui/DialogTemplates.h"
#include "ui/ResourceIds.h"

namespace r512 {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setFont(DialogFont());
    const TemplateControls controls(kAboutTemplate, this);
    connect(controls.Get<QPushButton>(IDC_OK), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace r512
