#pragma once
#include <chrono>
#include <cstdio>
struct StepClock { const char* n; std::chrono::steady_clock::time_point t=std::chrono::steady_clock::now();
 ~StepClock(){ std::fprintf(stderr,"[t] %s %.3f\n",n,std::chrono::duration<double>(std::chrono::steady_clock::now()-t).count()); } };
