#pragma once
// Mending a damaged data file: joining broken records and renumbering.
