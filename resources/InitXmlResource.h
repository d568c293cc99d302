#ifndef VARID_RESOURCES_INITXMLRESOURCE_H
#define VARID_RESOURCES_INITXMLRESOURCE_H

#include <cstddef>

// The layout document, embedded at build time.
extern const unsigned char xml_res_file_0[];
extern const size_t xml_res_size_0;

// Registers the embedded layout document in memory and loads it into the
// global layout loader. Call once, after InitAllHandlers.
void InitXmlResource();

#endif
