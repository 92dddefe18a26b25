// Dialog template ids and their control ids.
#pragma once
