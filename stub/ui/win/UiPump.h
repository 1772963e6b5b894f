// Letting the thread's pending window messages through while work goes on.
#pragma once

// One pass over the queue (peek, translate, dispatch), then a 1 ms sleep.
void PumpMessagesOnce();
// Keeps processing messages for the given time.
void PumpMessagesFor(unsigned milliseconds);
