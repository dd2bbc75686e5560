#include "media/FilterLibrary.h"

#include "file/FileException.h"

#include <dlfcn.h>
#include <type_traits>

namespace {

const FilterLibrary* Load()
{
    const char* name = "libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR);
    void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);   // never closed: it serves to the end
    if (!handle)
        return nullptr;
    static FilterLibrary library;
    bool found = true;
    const auto resolve = [&](auto& function, const char* symbol) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, symbol));
        found = found && function;
    };
#define RESOLVE(function) resolve(library.function, #function)
    RESOLVE(avfilter_graph_alloc);
    RESOLVE(avfilter_graph_free);
    RESOLVE(avfilter_get_by_name);
    RESOLVE(avfilter_graph_create_filter);
    RESOLVE(avfilter_inout_alloc);
    RESOLVE(avfilter_inout_free);
    RESOLVE(avfilter_graph_parse_ptr);
    RESOLVE(avfilter_graph_config);
    RESOLVE(av_buffersrc_add_frame_flags);
    RESOLVE(av_buffersrc_close);
    RESOLVE(av_buffersink_get_frame);
    RESOLVE(av_buffersink_set_frame_size);
#undef RESOLVE
    return found ? &library : nullptr;
}

} // namespace

const FilterLibrary& Filters(const std::string& subject)
{
    // Loaded once for every thread; the system's reason is read at once, on
    // the thread that tried.
    static std::string failure;
    static const FilterLibrary* library = [] {
        const FilterLibrary* loaded = Load();
        if (!loaded) {
            const char* reason = dlerror();
            failure = reason ? reason : "a function is missing";
        }
        return loaded;
    }();
    if (!library)
        throw CFailure(subject, "FFmpeg's filters cannot be loaded: " + failure);
    return *library;
}

void GraphFree::operator()(AVFilterGraph* graph) const
{
    Filters(std::string()).avfilter_graph_free(&graph);   // loaded: the graph was made with it
}
