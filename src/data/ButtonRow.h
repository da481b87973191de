#pragma once

#include <QBoxLayout>
#include <QPushButton>
#include <initializer_list>

/** One command button of a window: object name, caption and the window's handler (none: closes). */
template <typename Window>
struct ButtonSpec
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
void addButtons(Window* window, QBoxLayout* layout, std::initializer_list<ButtonSpec<Window>> specs)
{
    for (const ButtonSpec<Window>& spec : specs) {
        auto* button = new QPushButton(QString::fromUtf16(spec.caption), window);
        button->setObjectName(QString::fromUtf16(spec.name));
        button->setAutoDefault(false);
        layout->addWidget(button);
        if (spec.handler)
            QObject::connect(button, &QPushButton::clicked, window, spec.handler);
        else
            QObject::connect(button, &QPushButton::clicked, window, &Window::close);
    }
}
