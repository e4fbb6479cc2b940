// What makes a sampling thread keep its slots as well as the machine allows.
#pragma once

// Asks the kernel for the least timer slack and the highest real-time priority this process may
// have; where it is not allowed, the thread runs on as it was.
void g_PrepareSamplerThread();
