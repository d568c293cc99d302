#include "resources/InitXmlResource.h"

#include <memory>

#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/xrc/xmlres.h>

void InitXmlResource() {
    // Probe for a memory handler and install one only when none answers.
    wxMemoryFSHandler::AddFile(wxT("XRC_resource/dummy_file"), wxT("dummy one"));
    {
        wxFileSystem fsys;
        std::unique_ptr<wxFSFile> probe(fsys.OpenFile(wxT("memory:XRC_resource/dummy_file")));
        wxMemoryFSHandler::RemoveFile(wxT("XRC_resource/dummy_file"));
        if (!probe) {
            wxFileSystem::AddHandler(new wxMemoryFSHandler);
        }
    }
    wxMemoryFSHandler::AddFile(wxT("XRC_resource/resource$._resource.xrc"), xml_res_file_0,
                               xml_res_size_0);
    wxXmlResource::Get()->Load(wxT("memory:XRC_resource/resource$._resource.xrc"));
}
