// The listing engine's and the delivery's headers for code that also includes Qt. The writers
// name a member `slots`, which Qt defines as a keyword macro; the macro is set aside while
// these headers are read.
#pragma once

#pragma push_macro("slots")
#undef slots
#include "app/delivery.h"
#include "engine/listing_engine.h"
#include "engine/listing_job.h"
#pragma pop_macro("slots")
