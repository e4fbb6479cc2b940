#include "chronotrace.h"

static void put32(uint16_t* at, uint32_t value) {
    at[0] = (uint16_t)(value & 0xFFFFu);
    at[1] = (uint16_t)(value >> 16);
}

void ct_init(ct_block* block, uint16_t* ring, uint32_t ring_words, int ring_table, uint16_t ring_address,
             uint16_t shortest_period_eighths, ct_read_fn read, void* context) {
    uint32_t i;
    for (i = 0; i < CT_HEADER_WORDS; ++i) {
        block->header[i] = 0;
    }
    block->header[CT_H_SIGNATURE_0] = CT_SIGNATURE_0;
    block->header[CT_H_SIGNATURE_1] = CT_SIGNATURE_1;
    block->header[CT_H_VERSION] = CT_VERSION;
    block->header[CT_H_MAX_CHANNELS] = CT_MAX_CHANNELS;
    block->header[CT_H_RING_TABLE] = (uint16_t)ring_table;
    block->header[CT_H_RING_ADDRESS] = ring_address;
    put32(&block->header[CT_H_RING_WORDS], ring_words);
    block->header[CT_H_SHORTEST_PERIOD] = shortest_period_eighths ? shortest_period_eighths : 1u;
    block->ring = ring;
    block->ring_words = ring_words;
    block->read = read;
    block->context = context;
    block->last_command = 0;
    block->start_us = 0;
    block->period_us = 0;
    block->next_tick = 0;
    block->written = 0;
    block->slot = 0;
    block->capacity = 0;
    block->record_words = 0;
}

static void refuse(ct_block* block, uint16_t why, uint16_t channel) {
    block->header[CT_H_STATE] = CT_REFUSED;
    block->header[CT_H_REFUSAL] = why;
    block->header[CT_H_REFUSED_CHANNEL] = channel;
}

/* The settings the computer wrote, checked; the record's size when they are good, else 0. */
static uint16_t check_settings(ct_block* block) {
    uint16_t scratch[2];
    uint16_t n = block->header[CT_H_CHANNEL_COUNT];
    uint16_t words = 2;
    uint16_t k;
    if (n == 0 || n > CT_MAX_CHANNELS) {
        refuse(block, CT_REFUSED_CHANNEL_COUNT, 0);
        return 0;
    }
    if (block->header[CT_H_PERIOD] == 0) {
        refuse(block, CT_REFUSED_PERIOD, 0);
        return 0;
    }
    for (k = 0; k < n; ++k) {
        const uint16_t* channel = &block->header[CT_H_CHANNELS + 3 * k];
        const int bits = channel[0] == CT_COILS || channel[0] == CT_DISCRETE_INPUTS;
        if (channel[0] > CT_INPUT_REGISTERS || channel[2] < 1 || channel[2] > 2 ||
            (bits && channel[2] != 1)) {
            refuse(block, CT_REFUSED_CHANNEL, k);
            return 0;
        }
        if (!block->read(block->context, channel[0], channel[1], channel[2], scratch)) {
            refuse(block, CT_REFUSED_ELEMENT, k);
            return 0;
        }
        words = (uint16_t)(words + channel[2]);
    }
    if (words > block->ring_words) {
        refuse(block, CT_REFUSED_RING, 0);
        return 0;
    }
    return words;
}

static void start(ct_block* block, uint64_t now_us) {
    const uint16_t words = check_settings(block);
    uint16_t period = block->header[CT_H_PERIOD];
    if (words == 0) {
        return;
    }
    if (period < block->header[CT_H_SHORTEST_PERIOD]) {
        period = block->header[CT_H_SHORTEST_PERIOD];
    }
    block->record_words = words;
    block->capacity = block->ring_words / words;
    block->period_us = (uint64_t)period * 125u;
    block->start_us = now_us;
    block->next_tick = 0;
    block->written = 0;
    block->slot = 0;
    block->header[CT_H_RECORD_WORDS] = words;
    put32(&block->header[CT_H_RECORD_CAPACITY], block->capacity);
    block->header[CT_H_ACTUAL_PERIOD] = period;
    put32(&block->header[CT_H_RECORDS_WRITTEN], 0);
    put32(&block->header[CT_H_NEXT_SLOT], 0);
    block->header[CT_H_RUN] = (uint16_t)(block->header[CT_H_RUN] + 1u);
    block->header[CT_H_REFUSAL] = CT_REFUSED_NONE;
    block->header[CT_H_REFUSED_CHANNEL] = 0;
    block->header[CT_H_STATE] = CT_RUNNING;
}

static void sample(ct_block* block, uint32_t tick) {
    uint16_t* record = block->ring + (uint64_t)block->slot * block->record_words;
    uint16_t* at = record + 2;
    uint16_t n = block->header[CT_H_CHANNEL_COUNT];
    uint16_t k;
    put32(record, tick);
    for (k = 0; k < n; ++k) {
        const uint16_t* channel = &block->header[CT_H_CHANNELS + 3 * k];
        if (!block->read(block->context, channel[0], channel[1], channel[2], at)) {
            at[0] = 0;
            at[channel[2] - 1] = 0;
        }
        at += channel[2];
    }
    ++block->written;
    block->slot = block->slot + 1u == block->capacity ? 0u : block->slot + 1u;
    put32(&block->header[CT_H_RECORDS_WRITTEN], block->written);
    put32(&block->header[CT_H_NEXT_SLOT], block->slot);
}

void ct_cycle(ct_block* block, uint64_t now_us) {
    const uint16_t command = block->header[CT_H_COMMAND];
    if (command != block->last_command) {
        block->last_command = command;
        if (command == 1) {
            start(block, now_us);
        } else {
            block->header[CT_H_STATE] = CT_STOPPED;
        }
    }
    if (block->header[CT_H_STATE] == CT_RUNNING && now_us >= block->start_us) {
        const uint64_t due = (now_us - block->start_us) / block->period_us;
        if (due >= block->next_tick) {
            sample(block, (uint32_t)(due & 0xFFFFFFFFu));
            block->next_tick = due + 1u;
        }
    }
}

int ct_read_header(const ct_block* block, uint16_t offset, uint16_t count, uint16_t* words) {
    uint16_t i;
    if ((uint32_t)offset + count > CT_HEADER_WORDS) {
        return 0;
    }
    for (i = 0; i < count; ++i) {
        words[i] = block->header[offset + i];
    }
    return 1;
}

int ct_write_header(ct_block* block, uint16_t offset, uint16_t count, const uint16_t* words) {
    uint16_t i;
    if (offset < CT_H_COMMAND || (uint32_t)offset + count > CT_H_STATE) {
        return 0;
    }
    for (i = 0; i < count; ++i) {
        block->header[offset + i] = words[i];
    }
    return 1;
}

int ct_read_ring(const ct_block* block, uint32_t offset, uint16_t count, uint16_t* words) {
    uint16_t i;
    if ((uint64_t)offset + count > block->ring_words) {
        return 0;
    }
    for (i = 0; i < count; ++i) {
        words[i] = block->ring[offset + i];
    }
    return 1;
}
