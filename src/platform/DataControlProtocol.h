#pragma once

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdint>

// The two clipboard manager protocols have the same messages in the same
// order under different names; the clipboard below speaks either through one
// of these two descriptions.
#define VELMORA_DATA_CONTROL_PROTOCOL(Name, prefix, highestVersion)                                                    \
    struct Name                                                                                                        \
    {                                                                                                                  \
        using Manager = prefix##manager_v1;                                                                            \
        using Device = prefix##device_v1;                                                                              \
        using Source = prefix##source_v1;                                                                              \
        using Offer = prefix##offer_v1;                                                                                \
        using DeviceListener = prefix##device_v1_listener;                                                             \
        using SourceListener = prefix##source_v1_listener;                                                             \
        using OfferListener = prefix##offer_v1_listener;                                                               \
        static constexpr const char *managerName = #prefix "manager_v1";                                               \
        static constexpr const wl_interface *managerInterface = &prefix##manager_v1_interface;                         \
        static constexpr uint32_t version = highestVersion;                                                            \
        static Device *device(Manager *m, wl_seat *seat) { return prefix##manager_v1_get_data_device(m, seat); }       \
        static Source *source(Manager *m) { return prefix##manager_v1_create_data_source(m); }                         \
        static void destroy(Manager *m) { prefix##manager_v1_destroy(m); }                                             \
        static void listen(Device *d, const DeviceListener *l, void *data)                                             \
        {                                                                                                              \
            prefix##device_v1_add_listener(d, l, data);                                                                \
        }                                                                                                              \
        static void select(Device *d, Source *s) { prefix##device_v1_set_selection(d, s); }                            \
        static void destroy(Device *d) { prefix##device_v1_destroy(d); }                                               \
        static void listen(Source *s, const SourceListener *l, void *data)                                             \
        {                                                                                                              \
            prefix##source_v1_add_listener(s, l, data);                                                                \
        }                                                                                                              \
        static void offer(Source *s, const char *type) { prefix##source_v1_offer(s, type); }                           \
        static void destroy(Source *s) { prefix##source_v1_destroy(s); }                                               \
        static void listen(Offer *o, const OfferListener *l, void *data)                                               \
        {                                                                                                              \
            prefix##offer_v1_add_listener(o, l, data);                                                                 \
        }                                                                                                              \
        static void receive(Offer *o, const char *type, int fd) { prefix##offer_v1_receive(o, type, fd); }             \
        static void destroy(Offer *o) { prefix##offer_v1_destroy(o); }                                                 \
    };
VELMORA_DATA_CONTROL_PROTOCOL(ExtProtocol, ext_data_control_, 1)
VELMORA_DATA_CONTROL_PROTOCOL(WlrProtocol, zwlr_data_control_, 2)
#undef VELMORA_DATA_CONTROL_PROTOCOL
