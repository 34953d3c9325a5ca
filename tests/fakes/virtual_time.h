#pragma once

#include "platform/virtual_time.h"
