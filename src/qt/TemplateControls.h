#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <vector>

#include "ui/DialogTemplate.h"

namespace r512 {

// The widgets of a dialog template, made on `client` in the template's order (the Tab order)
// and placed in the dialog units of the client's font; the client takes the template's size and
// caption. Each control carries its identifier as its "controlId" property. Radio buttons from
// a group-flagged one up to the next group are one Tab stop, the arrow keys move inside them,
// and automatic ones are exclusive within their group only; a group-flagged check box keeps the
// arrows to itself. What a dialog does with its
// controls (texts, limits, what a click does) stays in the dialog, but for the up-down
// controls, which report each press to `onUpDown` with their identifier (see UpDownControl).
class TemplateControls {
public:
    using UpDownHandler = std::function<void(int id, int delta)>;

    TemplateControls(const DialogTemplate& dialog, QWidget* client,
                     UpDownHandler onUpDown = nullptr);

    // The control with identifier `id`, or nullptr.
    QWidget* Control(int id) const;
    template <class T>
    T* Get(int id) const {
        return static_cast<T*>(Control(id));
    }

    // The widget of item `index`, and the index of the item with identifier `id`.
    QWidget* At(std::size_t index) const { return widgets_.at(index); }
    std::size_t IndexOf(int id) const;

private:
    void MakeRadioGroups();

    const DialogTemplate& template_;
    std::vector<QWidget*> widgets_;
};

}  // namespace r512
