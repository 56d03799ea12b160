// Boost.JSON's implementation, compiled once into the daemon's library (header-only use).
#include <boost/json/src.hpp>
