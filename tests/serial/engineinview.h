// Velmora tests. Licensed under the MIT licence.
#pragma once

#include "transferengine.h"

// The transfer engine with its two ports in view, for tests that look at a port's own
// state; the program reaches them only through the engine.
class EngineInView : public TransferEngine
{
public:
    using TransferEngine::TransferEngine;
    using TransferEngine::inPort;
    using TransferEngine::outPort;
};
