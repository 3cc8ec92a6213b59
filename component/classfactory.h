// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include <QString>

class QWidget;

namespace Component {

class Control;

// Hands out new instances of one control class; a library's DllGetClassObject
// returns one of these for each identifier it serves.
class ClassFactory
{
public:
    virtual ~ClassFactory() = default;

    virtual QString identifier() const = 0;
    // The new control is already "created"; the caller sets its site next.
    virtual Control *createInstance(QWidget *parent) = 0;
};

} // namespace Component
