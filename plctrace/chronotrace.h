/* chronotrace: the controller side of Chronoscope's trace block, for a controller that runs C (a
 * soft PLC, a Linux or microcontroller-based controller). C99, no heap, no library calls: the
 * integrator gives it a ring buffer, calls ct_cycle once per cycle of the task that samples, and
 * routes the Modbus requests for the block's registers to ct_read and ct_write.
 *
 * The block (see the README's table) is a header of CT_HEADER_WORDS holding registers and a ring
 * of records, each the sample's tick (32 bits, low word first) and the channels' registers. The
 * computer writes the channel list, the period and the run command into the header; the
 * controller samples every period into the next slot of the ring and counts the records it wrote.
 * The computer reads the count and the next slot in one request: record r lies written - r slots
 * back from the next, and was overwritten once written - r exceeds the capacity. */
#ifndef CHRONOTRACE_H
#define CHRONOTRACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define CT_SIGNATURE_0 0x4353u /* "CS" */
#define CT_SIGNATURE_1 0x5442u /* "TB" */
#define CT_VERSION 1u
#define CT_MAX_CHANNELS 6
#define CT_HEADER_WORDS 42

/* Modbus tables, as the header names them. */
enum ct_table { CT_COILS = 0, CT_DISCRETE_INPUTS = 1, CT_HOLDING_REGISTERS = 2, CT_INPUT_REGISTERS = 3 };

/* Header word offsets. C: written by the controller, P: written by the computer. The computer
 * follows a run by reading the six words from CT_H_STATE on in one request. */
enum ct_header {
    CT_H_SIGNATURE_0 = 0,      /* C */
    CT_H_SIGNATURE_1 = 1,      /* C */
    CT_H_VERSION = 2,          /* C */
    CT_H_MAX_CHANNELS = 3,     /* C */
    CT_H_RING_TABLE = 4,       /* C: the table the ring is read from (ct_table) */
    CT_H_RING_ADDRESS = 5,     /* C: the ring's first register in that table */
    CT_H_RING_WORDS = 6,       /* C: registers of the ring (32 bits, low word first) */
    CT_H_SHORTEST_PERIOD = 8,  /* C: the shortest period the controller samples at, 1/8 ms */
    CT_H_COMMAND = 9,          /* P: 0 stop, 1 run; written after the settings */
    CT_H_PERIOD = 10,          /* P: the period wanted, 1/8 ms */
    CT_H_CHANNEL_COUNT = 11,   /* P: 1 .. CT_MAX_CHANNELS */
    CT_H_CHANNELS = 12,        /* P: per channel: table, address, registers (1 or 2; a bit 1) */
    CT_H_STATE = 30,           /* C: ct_state */
    CT_H_RUN = 31,             /* C: counts runs, so that a new one is told from the last */
    CT_H_RECORDS_WRITTEN = 32, /* C: records written since the run started (32 bits, wraps) */
    CT_H_NEXT_SLOT = 34,       /* C: the slot of the ring the next record goes to (32 bits) */
    CT_H_REFUSAL = 36,         /* C: ct_refusal while refused */
    CT_H_REFUSED_CHANNEL = 37, /* C: the channel (0 ..) a refusal is about, while refused */
    CT_H_RECORD_WORDS = 38,    /* C: registers per record: 2 + the channels' registers */
    CT_H_RECORD_CAPACITY = 39, /* C: records the ring holds (32 bits) */
    CT_H_ACTUAL_PERIOD = 41    /* C: the period sampled at, 1/8 ms */
};

enum ct_state { CT_STOPPED = 0, CT_RUNNING = 1, CT_REFUSED = 2 };
enum ct_refusal {
    CT_REFUSED_NONE = 0,
    CT_REFUSED_CHANNEL_COUNT = 1, /* none, or more than CT_MAX_CHANNELS */
    CT_REFUSED_CHANNEL = 2,       /* a table or width the block does not know */
    CT_REFUSED_ELEMENT = 3,       /* the controller cannot read a channel's registers */
    CT_REFUSED_PERIOD = 4,        /* a period of 0 */
    CT_REFUSED_RING = 5           /* a record larger than the ring */
};

/* Reads count registers (or bits, one per word) of a table of the controller's own memory;
 * nonzero when it could. Called from ct_cycle. */
typedef int (*ct_read_fn)(void* context, int table, uint16_t address, uint16_t count, uint16_t* words);

typedef struct ct_block {
    uint16_t header[CT_HEADER_WORDS];
    uint16_t* ring;
    uint32_t ring_words;
    ct_read_fn read;
    void* context;
    /* the run in progress */
    uint16_t last_command;
    uint64_t start_us;
    uint64_t period_us;
    uint64_t next_tick; /* the record carries its low 32 bits */
    uint32_t written;
    uint32_t slot;
    uint32_t capacity;
    uint16_t record_words;
} ct_block;

/* Sets the block up: the ring is ring_words registers, readable by Modbus at ring_address of
 * ring_table (an in-process caller may give more than an address space holds). */
void ct_init(ct_block* block, uint16_t* ring, uint32_t ring_words, int ring_table, uint16_t ring_address,
             uint16_t shortest_period_eighths, ct_read_fn read, void* context);

/* One cycle of the sampling task, at the controller's time in microseconds: a new command takes
 * effect, and when a tick's time has come, one sample is taken and filed under it. A cycle late by
 * more than a period leaves the ticks between without samples. */
void ct_cycle(ct_block* block, uint64_t now_us);

/* The Modbus side: header registers at offset from the header's address (holding registers), and
 * ring registers at offset from the ring's address. Nonzero when the whole range is the block's;
 * ct_write takes only the words the computer may write. */
int ct_read_header(const ct_block* block, uint16_t offset, uint16_t count, uint16_t* words);
int ct_write_header(ct_block* block, uint16_t offset, uint16_t count, const uint16_t* words);
int ct_read_ring(const ct_block* block, uint32_t offset, uint16_t count, uint16_t* words);

#ifdef __cplusplus
}
#endif

#endif
