#pragma once
// Every timed pause of the program goes through Pause(), which lets pending
// window messages run while it waits. Tests set the scale to 0.

void Pause(int milliseconds);
void ProcessMessages();
void SetPauseScale(double scale);   // 1 = real time, 0 = no waiting
double PauseScale();
