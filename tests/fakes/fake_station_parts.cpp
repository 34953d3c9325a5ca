#include "fakes/fake_station_parts.h"
