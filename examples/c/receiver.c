/*
 * A plain C receiver for Kinemora's motion datagrams: it listens on UDP port
 * 50010, decodes every K01 (Aerofly FS 2) and K2 (MSFS) datagram with
 * include/kinemora/motion_datagram.h and prints it, one line each. Start your
 * rig controller from here: replace the printing with what moves your rig.
 *
 * Build it with the socket file for your system (C99, no other library):
 *   Linux, macOS, Raspberry Pi:
 *     cc -std=c99 -I../../include -I. receiver.c posix/udp_port.c -o receiver
 *   Windows with MinGW-w64:
 *     gcc -std=c99 -I../../include -I. receiver.c win32/udp_port.c -lws2_32 -o receiver.exe
 */
#include "udp_port.h"

#include <kinemora/motion_datagram.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char usage[] =
    "Usage: kinemora-example-receiver [--port N] [--count N]\n"
    "\n"
    "Receives Kinemora motion datagrams (K01 from the Aerofly FS 2 plug-in, K2\n"
    "from the MSFS bridge) on a UDP port and prints each one decoded. Anything\n"
    "else that arrives on the port is reported and ignored.\n"
    "\n"
    "  --port N   UDP port to listen on (default 50010)\n"
    "  --count N  stop after N datagrams (default: run until Ctrl+C)\n"
    "  --help     show this text\n"
    "\n"
    "If nothing arrives: check that the simulator and the plug-in or bridge run,\n"
    "that a firewall lets UDP port 50010 in, and that both machines share a network.\n";

/* Bring the rig to rest when no motion datagram has arrived for this long. */
#define SILENCE_MS 500

/* Prints " name=value" with nine significant digits, enough to read the
 * 32-bit float back exactly, and notes a value that is not finite. */
static void print_value(const char* name, float value, int* all_finite)
{
    printf(" %s=%.9g", name, (double)value);
    if (!isfinite(value))
        *all_finite = 0;
}

/* NaN and infinities arrive as the simulator delivered them: a rig must
 * never send them to a motor, and keeps its last good values instead. */
static void end_line(int all_finite)
{
    printf("%s\n", all_finite ? "" : " (not all values finite: keep the last good ones)");
    fflush(stdout);
}

static void print_k01(const char* source, const kinemora_k01* d)
{
    int all_finite = 1;
    printf("from %s K01 time_us=%lu", source, (unsigned long)d->time_us);
    print_value("velocity_x", d->velocity_x, &all_finite);
    print_value("velocity_y", d->velocity_y, &all_finite);
    print_value("velocity_z", d->velocity_z, &all_finite);
    print_value("bank", d->bank, &all_finite);
    print_value("pitch", d->pitch, &all_finite);
    print_value("rate_of_turn", d->rate_of_turn, &all_finite);
    print_value("angular_velocity_x", d->angular_velocity_x, &all_finite);
    print_value("angular_velocity_y", d->angular_velocity_y, &all_finite);
    print_value("angular_velocity_z", d->angular_velocity_z, &all_finite);
    end_line(all_finite);
}

static void print_k2(const char* source, const kinemora_k2* d)
{
    int all_finite = 1;
    printf("from %s K2 time_us=%lu", source, (unsigned long)d->time_us);
    print_value("velocity_body_z", d->velocity_body_z, &all_finite);
    print_value("velocity_body_x", d->velocity_body_x, &all_finite);
    print_value("velocity_body_y", d->velocity_body_y, &all_finite);
    print_value("acceleration_body_z", d->acceleration_body_z, &all_finite);
    print_value("acceleration_body_x", d->acceleration_body_x, &all_finite);
    print_value("acceleration_body_y", d->acceleration_body_y, &all_finite);
    print_value("bank", d->bank, &all_finite);
    print_value("pitch", d->pitch, &all_finite);
    print_value("heading", d->heading, &all_finite);
    print_value("rotation_velocity_body_z", d->rotation_velocity_body_z, &all_finite);
    print_value("rotation_velocity_body_x", d->rotation_velocity_body_x, &all_finite);
    print_value("rotation_velocity_body_y", d->rotation_velocity_body_y, &all_finite);
    end_line(all_finite);
}

/* Reads a whole number from min to max; returns 0 if text is not one. */
static int parse_number(const char* text, unsigned long min, unsigned long max, unsigned long* value)
{
    char* end = NULL;
    if (*text < '0' || *text > '9')
        return 0;
    *value = strtoul(text, &end, 10);
    return *end == '\0' && *value >= min && *value <= max;
}

int main(int argc, char** argv)
{
    unsigned long port = KINEMORA_PORT;
    unsigned long count = 0; /* 0: no limit */
    unsigned long received = 0;
    unsigned char buffer[1500]; /* any datagram of an Ethernet network fits */
    char source[16];
    char error[200];
    int silent = 1; /* the rig starts at rest */
    int i;

    for (i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(usage, stdout);
            return 0;
        } else if (strcmp(argv[i], "--port") == 0) {
            if (i + 1 >= argc || !parse_number(argv[i + 1], 1, 65535, &port)) {
                fprintf(stderr, "kinemora-example-receiver: --port wants a number from 1 to 65535\n");
                return 2;
            }
            ++i;
        } else if (strcmp(argv[i], "--count") == 0) {
            if (i + 1 >= argc || !parse_number(argv[i + 1], 1, 4000000000ul, &count)) {
                fprintf(stderr, "kinemora-example-receiver: --count wants a whole number above 0\n");
                return 2;
            }
            ++i;
        } else {
            fprintf(stderr, "kinemora-example-receiver: unknown option '%s' (try --help)\n", argv[i]);
            return 2;
        }
    }

    if (udp_port_open((unsigned short)port, error, sizeof error) != 0) {
        fprintf(stderr, "kinemora-example-receiver: %s\n", error);
        fprintf(stderr, "Is another program using the port without SO_REUSEADDR? Try --port.\n");
        return 1;
    }
    fprintf(stderr, "listening on UDP port %lu (Ctrl+C to stop)\n", port);

    while (count == 0 || received < count) {
        kinemora_k01 k01;
        kinemora_k2 k2;
        long n = udp_port_receive(buffer, sizeof buffer, SILENCE_MS, source, sizeof source);
        if (n == UDP_PORT_TIMED_OUT) {
            if (!silent)
                fprintf(stderr, "nothing for 0.5 s: a rig would ease to rest now\n");
            silent = 1;
            continue;
        }
        if (n == UDP_PORT_FAILED) {
            fprintf(stderr, "kinemora-example-receiver: receiving failed\n");
            udp_port_close();
            return 1;
        }
        ++received;
        /* Each decoder checks the length and the lead-in before it reads a byte. */
        if (kinemora_decode_k01(buffer, (size_t)n, &k01)) {
            print_k01(source, &k01);
            silent = 0;
        } else if (kinemora_decode_k2(buffer, (size_t)n, &k2)) {
            print_k2(source, &k2);
            silent = 0;
        } else {
            /* Other traffic on the port: ignore it and go on. */
            printf("ignored %ld bytes from %s: not a K01 or K2 datagram\n", n, source);
            fflush(stdout);
        }
    }
    udp_port_close();
    return 0;
}
