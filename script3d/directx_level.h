#pragma once
// Tells each interpreter at its Load which DirectX level the machine offers
// (ProgramState's directXVersion, 0 in the native build), and switches 3D
// sound on where it was asked for and the level is 0x600 or later.
void RegisterDirectXLevelService();
