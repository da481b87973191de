#pragma once

#include <QBoxLayout>
#include <QPushButton>
#include <initializer_list>

/** One command button of a window: object name, caption and the window's handler (none: closes). */
template <typename Window>
struct ButtonDef
{
    const char16_t* name;
    const char16_t* caption;
    void (Window::*handler)();
};

/**
 * Adds the buttons to the layout in order, connected to their handlers. The buttons never take Enter
 * (grids and edit boxes of these windows use it), so none is a default button.
 */
template <typename Window>
void addButtons(Window* window, QBoxLayout* layout, std::initializer_list<ButtonDef<Window>> defs)
{
    for (const ButtonDef<Window>& def : defs) {
        auto* button = new QPushButton(QString::fromUtf16(def.caption), window);
        button->setObjectName(QString::fromUtf16(def.name));
        button->setAutoDefault(false);
        layout->addWidget(button);
        if (def.handler)
            QObject::connect(button, &QPushButton::clicked, window, def.handler);
        else
            QObject::connect(button, &QPushButton::clicked, window, &Window::close);
    }
}
