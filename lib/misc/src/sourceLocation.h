#pragma once

// The caller's source file and line, as every lock operation and abort report takes them.
#define PG_HERE __FILE__, __LINE__
