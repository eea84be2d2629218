#pragma once
// Every timed pause of the program goes through Pause(), which lets pending
// window messages run while a timer measures it. Tests set the scale to 0.
//
// Only the start-up and long work that shows its progress (year creation, the
// financial situation) pause or let messages through this way; a handler of
// a control never does: it returns, and a timed effect runs on a QTimer.

void Pause(int milliseconds);
void ProcessMessages();
void SetPauseScale(double scale);   // 1 = real time, 0 = no waiting
double PauseScale();
