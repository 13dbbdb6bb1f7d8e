#pragma once
// A stand-in for the logger board on a pseudo-terminal (being written).

namespace platine {

class BoardSimulator;

} // namespace platine
