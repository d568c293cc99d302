#ifndef VARID_TESTS_CALC_COUNTINGALLOCATOR_H
#define VARID_TESTS_CALC_COUNTINGALLOCATOR_H

// Number of global operator new calls so far in this process.
long AllocationCount();

#endif
