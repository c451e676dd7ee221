int planted();
